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
