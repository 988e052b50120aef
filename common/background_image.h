// Background image preparation, the portable part: colour orders and the
// replacement of transparent-coloured pixels in a 32-bit bottom-up DIB.
#pragma once
#include <cstddef>
#include <cstdint>

// COLORREF 0x00BBGGRR to DIB pixel order 0x00RRGGBB (and back: it is its own inverse).
uint32_t to_pixel_order(uint32_t colorref);

// Sets every pixel whose low 24 bits equal transparent to key (the top byte
// becomes 0 too). pixel_count pixels of 32 bits in memory order.
void replace_transparent_pixels(uint32_t* pixels, size_t pixel_count, uint32_t transparent, uint32_t key);
