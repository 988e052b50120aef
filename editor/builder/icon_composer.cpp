// Icon image arithmetic, template checks and tinting over plain byte buffers.
#include "editor/builder/icon_composer.h"

namespace {

uint32_t get32(const uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
uint16_t get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
void put16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
void put32(uint8_t* p, uint32_t v) {
  put16(p, static_cast<uint16_t>(v));
  put16(p + 2, static_cast<uint16_t>(v >> 16));
}

uint64_t row_bytes(uint64_t bits) { return (bits + 31) / 32 * 4; }

uint32_t default_colours(unsigned bits) {
  switch (bits) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
  }
}

bool is_colour(const uint8_t* entry, uint8_t value) {
  return entry[0] == value && entry[1] == value && entry[2] == value;
}

void set_colorref(uint8_t* entry, uint32_t colorref) {
  entry[0] = static_cast<uint8_t>(colorref >> 16);  // blue
  entry[1] = static_cast<uint8_t>(colorref >> 8);   // green
  entry[2] = static_cast<uint8_t>(colorref);        // red
}

const uint8_t PNG_SIGNATURE[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

bool is_png(const uint8_t* header) {
  for (int i = 0; i < 8; ++i)
    if (header[i] != PNG_SIGNATURE[i]) return false;
  return true;
}

// The entry's bit count; many .ico files leave it 0 and give the depth in
// the image header alone.
unsigned template_bit_count(const uint8_t* entry, const uint8_t* header) {
  unsigned bits = get16(entry + 12);
  return bits ? bits : get16(header + 14);
}

}  // namespace

void lighter_shade(uint8_t colour[3]) {
  // Order the components: l largest, m middle, s smallest.
  uint8_t *l = &colour[0], *m = &colour[1], *s = &colour[2];
  uint8_t* t;
  if (*m > *l) t = l, l = m, m = t;
  if (*s > *l) t = l, l = s, s = t;
  if (*s > *m) t = m, m = s, s = t;
  int base;
  if (*l <= 213) {
    *l = static_cast<uint8_t>(*l + 42);
    base = 42;
  } else {
    base = (*l - 127) / 2;
    *l = 255;
  }
  int small_base = base;
  if (base + *m <= 255) {
    *m = static_cast<uint8_t>(base + *m);
  } else {
    small_base = base + (base + *m - 255);  // what m could not take goes to s
    *m = 255;
  }
  int shade = small_base + *s;
  *s = static_cast<uint8_t>(shade > 255 ? 255 : shade);
}

uint32_t icon_palette_entries(const uint8_t* header) {
  uint32_t used = get32(header + 32);
  return used ? used : default_colours(get16(header + 14));
}

void tint_note_icon(uint8_t* image, size_t bytes, uint32_t background_color) {
  if (bytes < ICON_HEADER_BYTES) return;
  uint64_t start = get32(image);
  uint64_t entries = icon_palette_entries(image);
  if (start + 4 * entries > bytes) return;
  uint8_t* white = nullptr;
  bool black_done = false;
  for (uint64_t i = 0; i < entries && !(black_done && white); ++i) {
    uint8_t* entry = image + start + 4 * i;
    if (!black_done && is_colour(entry, 0)) {
      set_colorref(entry, background_color);
      black_done = true;
    } else if (!white && is_colour(entry, 255)) {
      set_colorref(entry, background_color);
      white = entry;
    }
  }
  if (white) lighter_shade(white);
}

uint64_t icon_image_byte_count(unsigned width, unsigned height, unsigned colours, unsigned bits,
                               uint64_t header_size) {
  uint64_t palette = colours ? colours : default_colours(bits);
  return height * row_bytes(static_cast<uint64_t>(width) * bits) + height * row_bytes(width) +
         4 * palette + header_size;
}

uint32_t check_icon_template(const uint8_t entry[ICON_ENTRY_READ_BYTES], uint32_t image_offset,
                             const uint8_t header[ICON_HEADER_BYTES], uint64_t file_size) {
  unsigned width = entry[6], height = entry[7], colours = entry[8], bits = template_bit_count(entry, header);
  // A 0 byte means 256 pixels: the count below would not describe the image.
  if (width == 0 || height == 0 || bits == 0) return 0;
  if (is_png(header) || get32(header) != ICON_HEADER_BYTES) return 0;
  // The count follows the entry, the system draws what the header says: the
  // two must describe the same image (its height holds both masks).
  if (get32(header + 4) != width || get32(header + 8) != 2 * height || get16(header + 14) != bits) return 0;
  uint64_t count = icon_image_byte_count(width, height, colours, bits, ICON_HEADER_BYTES);
  if (static_cast<uint64_t>(image_offset) + count > file_size) return 0;
  if (ICON_HEADER_BYTES + 4 * static_cast<uint64_t>(icon_palette_entries(header)) > count) return 0;
  return static_cast<uint32_t>(count);
}

void finish_icon_group(uint8_t group[ICON_GROUP_BYTES], const uint8_t header[ICON_HEADER_BYTES],
                       uint32_t byte_count) {
  put16(group + 4, 1);
  put16(group + 12, static_cast<uint16_t>(template_bit_count(group, header)));
  put32(group + 14, byte_count);
  put16(group + 18, ICON_GROUP_ID);
}

uint32_t icon_group_byte_count(const uint8_t group[ICON_GROUP_BYTES]) { return get32(group + 14); }
