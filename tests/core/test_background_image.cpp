// Colour orders, pixel-buffer sizes and the replacement of the transparent colour.
#include <gtest/gtest.h>
#include <vector>
#include "common/background_image.h"

TEST(PixelOrder, SwapsRedAndBlue) {
  EXPECT_EQ(to_pixel_order(0x00FFFFFFu), 0x00FFFFFFu);
  EXPECT_EQ(to_pixel_order(255u), 16711680u);  // pure red
  EXPECT_EQ(to_pixel_order(0x00FF0000u), 0x000000FFu);
  EXPECT_EQ(to_pixel_order(0x00123456u), 0x00563412u);
  EXPECT_EQ(to_pixel_order(to_pixel_order(0x00ABCDEFu)), 0x00ABCDEFu);
  // The COLORREF's top byte does not reach the pixel.
  EXPECT_EQ(to_pixel_order(0x02123456u), 0x00563412u);
}

TEST(PixelOrder, RedBackgroundEqualsRedTransparentSoNothingIsConverted) {
  // Stored as 255 (background COLORREF) and 16711680 (transparent, pixel order).
  EXPECT_EQ(to_pixel_order(255u), 16711680u);
}

TEST(PixelBuffer, SizeIsFourBytesPerPixel) {
  size_t bytes = 1;
  ASSERT_TRUE(dib32_image_bytes(2, 2, &bytes));
  EXPECT_EQ(bytes, 16u);
  ASSERT_TRUE(dib32_image_bytes(300, 200, &bytes));
  EXPECT_EQ(bytes, 240000u);
  ASSERT_TRUE(dib32_image_bytes(32767, 32767, &bytes));
  EXPECT_EQ(bytes, 4294705156u);
}

TEST(PixelBuffer, SizesThatWouldWrapOrAreEmptyAreRefused) {
  size_t bytes = 1;
  // 32768 x 32768 x 4 is exactly 2^32: it wraps to 0 in a 32-bit size field.
  EXPECT_FALSE(dib32_image_bytes(32768, 32768, &bytes));
  EXPECT_EQ(bytes, 0u);
  // 33000 x 33000 x 4 wraps to a small buffer the full image would overrun.
  EXPECT_FALSE(dib32_image_bytes(33000, 33000, &bytes));
  EXPECT_FALSE(dib32_image_bytes(0, 10, &bytes));
  EXPECT_FALSE(dib32_image_bytes(10, -1, &bytes));
  EXPECT_FALSE(dib32_image_bytes(INT32_MAX, INT32_MAX, &bytes));
}

TEST(TransparentPixels, ExactlyTheTransparentColourBecomesTheKey) {
  const uint32_t white = to_pixel_order(0x00FFFFFFu), green = 0x0000FF00u;
  std::vector<uint32_t> px = {green, 0x0000FE00u, 0xFF00FF00u, 0x0000FF01u, green, 0x00000000u};
  replace_transparent_pixels(px.data(), px.size(), green, white);
  EXPECT_EQ(px[0], 0x00FFFFFFu);
  EXPECT_EQ(px[1], 0x0000FE00u);  // G 254 stays
  EXPECT_EQ(px[2], 0x00FFFFFFu);  // the top byte takes no part and is cleared
  EXPECT_EQ(px[3], 0x0000FF01u);
  EXPECT_EQ(px[4], 0x00FFFFFFu);
  EXPECT_EQ(px[5], 0x00000000u);
}

TEST(TransparentPixels, DefaultBlackTurnsIntoTheBackgroundColour) {
  // Transparent colour 0 with a pure blue background (COLORREF 0x00FF0000).
  std::vector<uint32_t> px = {0, 0x00010000u, 0, 0x00FFFFFFu};
  replace_transparent_pixels(px.data(), px.size(), 0, to_pixel_order(0x00FF0000u));
  EXPECT_EQ(px, (std::vector<uint32_t>{0x000000FFu, 0x00010000u, 0x000000FFu, 0x00FFFFFFu}));
}

TEST(TransparentPixels, OnlyTheGivenCountIsTouched) {
  std::vector<uint32_t> px = {0, 0, 0, 0};
  replace_transparent_pixels(px.data(), 2, 0, 0x00123456u);
  EXPECT_EQ(px, (std::vector<uint32_t>{0x00123456u, 0x00123456u, 0, 0}));
  replace_transparent_pixels(nullptr, 0, 0, 1);
}

TEST(TransparentPixels, AColourAbove24BitsMatchesNothing) {
  std::vector<uint32_t> px = {0x0000FF00u, 0x0100FF00u};
  replace_transparent_pixels(px.data(), px.size(), 0x0100FF00u, 0x00FFFFFFu);
  EXPECT_EQ(px, (std::vector<uint32_t>{0x0000FF00u, 0x0100FF00u}));
}
