// The icon composer's portable part: the byte count of an icon image, the
// checks that make an icon template safe to copy, and the palette tint.
#pragma once
#include <cstddef>
#include <cstdint>

enum {
  ICON_GROUP_BYTES = 20,       // RT_GROUP_ICON data with one entry
  ICON_ENTRY_READ_BYTES = 18,  // ICONDIR and the first entry up to its byte count
  ICON_HEADER_BYTES = 40,      // the only image header size accepted
  ICON_GROUP_ID = 2            // the icon image's id in every note
};

// Brightens the three colour bytes of one palette entry in place: the largest
// component gains 42 (or becomes 255), the others follow, overflow passing on.
void lighter_shade(uint8_t colour[3]);

// Palette entries of an icon image: the header's colours-used field, or 2, 16
// or 256 for 1, 4 or 8 bits per pixel, or 0. header: at least 40 bytes.
uint32_t icon_palette_entries(const uint8_t* header);

// Recolours the palette of image (bytes long): its first black entry takes
// background_color (COLORREF), its first white entry a lighter shade of it.
// An image whose palette does not lie inside it is left unchanged.
void tint_note_icon(uint8_t* image, size_t bytes, uint32_t background_color);

// Byte count of an icon image from its directory entry and header size:
// height x colour row + height x mask row + 4 x colours + header size.
uint64_t icon_image_byte_count(unsigned width, unsigned height, unsigned colours, unsigned bits,
                               uint64_t header_size);

// Checks the first entry of an icon template (the file's first 18 bytes, as
// read into the group directory), its image offset, the image's 40 header
// bytes and the file size. Returns the icon image's byte count, or 0 when the
// file is unreadable: an entry whose width or height is 0, a bit count that is
// 0 in both entry and header, an image stored as PNG, a header size other
// than 40, an entry and header that disagree on width, height (the header's
// is twice the entry's) or bit count, an image that ends beyond the file, or
// a palette that does not fit inside the image.
uint32_t check_icon_template(const uint8_t entry[ICON_ENTRY_READ_BYTES], uint32_t image_offset,
                             const uint8_t header[ICON_HEADER_BYTES], uint64_t file_size);

// Completes a group directory read from a template whose image header is
// header: one image, the header's bit count where the entry's is 0, the byte
// count in bytes 14 to 17 and icon id 2.
void finish_icon_group(uint8_t group[ICON_GROUP_BYTES], const uint8_t header[ICON_HEADER_BYTES],
                       uint32_t byte_count);

// The byte count held in bytes 14 to 17 of a group directory.
uint32_t icon_group_byte_count(const uint8_t group[ICON_GROUP_BYTES]);
