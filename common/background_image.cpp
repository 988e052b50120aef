// Colour orders and pixel replacement for background images.
#include "common/background_image.h"

uint32_t to_pixel_order(uint32_t colorref) {
  return ((colorref & 0xFFu) << 16) | (colorref & 0xFF00u) | ((colorref >> 16) & 0xFFu);
}

bool dib32_image_bytes(int32_t width, int32_t height, size_t* bytes) {
  *bytes = 0;
  if (width <= 0 || height <= 0) return false;
  uint64_t n = static_cast<uint64_t>(width) * static_cast<uint64_t>(height) * 4u;
  // The platform reports the size in a 32-bit field; a larger image would
  // wrap there and the pixel copy would overrun the buffer.
  if (n > UINT32_MAX || n > SIZE_MAX) return false;
  *bytes = static_cast<size_t>(n);
  return true;
}

void replace_transparent_pixels(uint32_t* pixels, size_t pixel_count, uint32_t transparent, uint32_t key) {
  // A transparent colour with bits above the low 24 matches no pixel.
  key &= 0x00FFFFFFu;
  for (size_t i = 0; i < pixel_count; ++i) {
    if ((pixels[i] & 0x00FFFFFFu) == transparent) pixels[i] = key;
  }
}

namespace {

uint32_t le32(const uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
uint16_t le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

enum { FILE_HEADER = 14, CORE_HEADER = 12, INFO_HEADER = 40 };
enum { BMP_RGB = 0, BMP_RLE8 = 1, BMP_RLE4 = 2, BMP_BITFIELDS = 3, BMP_ALPHABITFIELDS = 6 };

// What the headers say about the pixels.
struct BitmapLayout {
  int64_t width, height;
  uint32_t bits, compression, image_size, colours_used, header_size, data_offset;
};

bool read_layout(const uint8_t* head, size_t head_bytes, BitmapLayout* l) {
  if (head_bytes < FILE_HEADER + 4 || head[0] != 'B' || head[1] != 'M') return false;
  l->data_offset = le32(head + 10);
  l->header_size = le32(head + 14);
  const uint8_t* info = head + FILE_HEADER;
  if (l->header_size == CORE_HEADER && head_bytes >= FILE_HEADER + CORE_HEADER) {
    *l = {le16(info + 4), le16(info + 6), le16(info + 10), BMP_RGB, 0, 0, CORE_HEADER, l->data_offset};
    return true;
  }
  if (l->header_size < INFO_HEADER || head_bytes < FILE_HEADER + INFO_HEADER) return false;
  l->width = static_cast<int32_t>(le32(info + 4));
  l->height = static_cast<int32_t>(le32(info + 8));
  l->bits = le16(info + 14);
  l->compression = le32(info + 16);
  l->image_size = le32(info + 20);
  l->colours_used = le32(info + 32);
  return true;
}

// Bytes between the information header and the pixels: palette or masks.
uint64_t table_bytes(const BitmapLayout& l) {
  if (l.bits <= 8) {
    uint64_t entries = l.colours_used ? l.colours_used : (1u << l.bits);
    return entries * (l.header_size == CORE_HEADER ? 3 : 4);
  }
  if (l.header_size == INFO_HEADER && l.compression == BMP_BITFIELDS) return 12;
  if (l.header_size == INFO_HEADER && l.compression == BMP_ALPHABITFIELDS) return 16;
  return 0;
}

// Bytes of pixel data the headers promise, or 0 for a layout no .bmp has.
uint64_t pixel_bytes(const BitmapLayout& l) {
  uint64_t rows = static_cast<uint64_t>(l.height < 0 ? -l.height : l.height);
  if (l.width <= 0 || rows == 0) return 0;
  switch (l.compression) {
    case BMP_RLE8:
      return l.bits == 8 ? l.image_size : 0;
    case BMP_RLE4:
      return l.bits == 4 ? l.image_size : 0;
    case BMP_RGB:
    case BMP_BITFIELDS:
    case BMP_ALPHABITFIELDS:
      break;
    default:
      return 0;
  }
  if (l.bits != 1 && l.bits != 4 && l.bits != 8 && l.bits != 16 && l.bits != 24 && l.bits != 32) return 0;
  uint64_t stride = (static_cast<uint64_t>(l.width) * l.bits + 31) / 32 * 4;
  return stride * rows;
}

}  // namespace

bool bitmap_file_is_complete(const uint8_t* head, size_t head_bytes, uint64_t file_size) {
  BitmapLayout l = {};
  if (!read_layout(head, head_bytes, &l)) return false;
  uint64_t pixels = pixel_bytes(l);
  if (pixels == 0) return false;
  uint64_t tables_end = FILE_HEADER + static_cast<uint64_t>(l.header_size) + table_bytes(l);
  return tables_end <= file_size && static_cast<uint64_t>(l.data_offset) + pixels <= file_size;
}
