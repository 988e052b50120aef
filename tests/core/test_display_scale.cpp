// Stored sizes to screen pixels and back at the usual display scales.
#include <gtest/gtest.h>
#include "common/display_scale.h"

TEST(DisplayScale, StoredToPixelsToStoredIsTheIdentityAtEveryCommonScale) {
  for (int dpi : {96, 120, 144, 168, 192, 288}) {
    for (int v = -2000; v <= 4000; ++v) {
      ASSERT_EQ(scale_to_stored(scale_to_screen(v, dpi), dpi), v) << "dpi " << dpi << ", value " << v;
    }
  }
}

TEST(DisplayScale, ScalesAndRoundsAsWindowsMulDiv) {
  EXPECT_EQ(scale_to_screen(300, 144), 450);
  EXPECT_EQ(scale_to_screen(-21, 144), -32);  // -31.5 rounds away from zero
  EXPECT_EQ(scale_to_screen(5, 120), 6);      // 6.25
  EXPECT_EQ(scale_to_screen(10, 120), 13);    // 12.5 rounds up
  EXPECT_EQ(scale_to_stored(451, 144), 301);  // 300.67
  EXPECT_EQ(scale_to_stored(-32, 144), -21);
  // A DPI the platform could not tell counts as 100 %.
  EXPECT_EQ(scale_to_screen(300, 0), 300);
  EXPECT_EQ(scale_to_stored(300, -5), 300);
  EXPECT_EQ(mul_div(7, 1, 0), -1);
  EXPECT_EQ(mul_div(2000000000, 3, 1), -1);
  EXPECT_EQ(mul_div(-7, 1, -2), 4);           // 3.5 away from zero
}
