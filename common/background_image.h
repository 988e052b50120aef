// Background image preparation, the portable part: colour orders, the size of
// the 32-bit pixel buffer, the replacement of transparent-coloured pixels
// in a 32-bit bottom-up DIB, and the check that a .bmp file holds what its
// headers promise.
#pragma once
#include <cstddef>
#include <cstdint>

// COLORREF 0x00BBGGRR to DIB pixel order 0x00RRGGBB (and back: it is its own inverse).
uint32_t to_pixel_order(uint32_t colorref);

// Bytes of a width x height image at 32 bits per pixel, into *bytes. False
// (and *bytes 0) when a side is not positive or the size does not fit both
// a 32-bit image-size field and size_t: such an image cannot be converted.
bool dib32_image_bytes(int32_t width, int32_t height, size_t* bytes);

// Sets every pixel whose low 24 bits equal transparent to key (the top byte
// becomes 0 too). pixel_count pixels of 32 bits in memory order.
void replace_transparent_pixels(uint32_t* pixels, size_t pixel_count, uint32_t transparent, uint32_t key);

// Bytes of a .bmp file's start that bitmap_file_is_complete reads: the file
// header and the fields of the information header that size the pixels.
enum { BITMAP_FILE_HEAD_BYTES = 54 };

// True when a .bmp file whose first head_bytes bytes are head (all of them
// up to BITMAP_FILE_HEAD_BYTES) and whose size is file_size holds every byte
// its headers promise: the information header, the palette or colour masks,
// and the pixel data from the file header's offset on (for RLE, the image
// size the header gives). False as well for a file that is no bitmap, has
// a side of 0, a negative width, a depth or compression a .bmp cannot have.
// The platform's loader reads a cut-short file past its end.
bool bitmap_file_is_complete(const uint8_t* head, size_t head_bytes, uint64_t file_size);
