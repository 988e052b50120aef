// Background image preparation, the portable part: colour orders, the size of
// the 32-bit pixel buffer, and the replacement of transparent-coloured pixels
// in a 32-bit bottom-up DIB.
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
