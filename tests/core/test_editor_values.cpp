// The editor's layout arithmetic and the values its dialogs read from their
// controls.
#include <gtest/gtest.h>
#include <climits>
#include <string>
#include "common/display_scale.h"
#include "editor/dialog_values.h"
#include "editor/preview_layout.h"
#include "editor/window_size.h"

TEST(EditorLayout, EditControlSitsInsideTheMarginUnclamped) {
  EditPlacement p = edit_placement(400, 300, 10);
  EXPECT_EQ(p.x, 10);
  EXPECT_EQ(p.y, 10);
  EXPECT_EQ(p.width, 380);
  EXPECT_EQ(p.height, 280);
  p = edit_placement(400, 300, 0);
  EXPECT_EQ(p.width, 400);
  // More than half the client: a zero or negative size, as asked.
  p = edit_placement(100, 60, 30);
  EXPECT_EQ(p.width, 40);
  EXPECT_EQ(p.height, 0);
  p = edit_placement(100, 60, 40);
  EXPECT_EQ(p.height, -20);
  // A margin from the file has no upper bound; the size does not wrap round.
  p = edit_placement(100, 60, INT_MAX);
  EXPECT_EQ(p.x, INT_MAX);
  EXPECT_EQ(p.width, INT_MIN);
}

TEST(EditorLayout, ImageModeNeedsBothTheFlagAndAPicture) {
  EXPECT_TRUE(background_image_mode(1, true));
  EXPECT_TRUE(background_image_mode(7, true));
  EXPECT_FALSE(background_image_mode(1, false)) << "enabled but failed to load";
  EXPECT_FALSE(background_image_mode(0, true)) << "a picture kept after switching off";
  EXPECT_FALSE(background_image_mode(0, false));
}

TEST(EditorLayout, MenuBarItemThatWouldCrossTheEdgeStartsARowUnlessFirstOfIt) {
  const int32_t widths[] = {43, 36, 51, 49, 40};  // the editor's menu bar at 100 % under Wine
  EXPECT_EQ(menu_bar_rows(widths, 5, 219), 1) << "the last item just fits";
  EXPECT_EQ(menu_bar_rows(widths, 5, 192), 2);
  EXPECT_EQ(menu_bar_rows(widths, 5, 112), 3);
  EXPECT_EQ(menu_bar_rows(widths, 5, 30), 5) << "an item wider than the bar still takes one row";
}

TEST(DialogValues, UpDownPositionIsTheSignedLowWordNotBelowZero) {
  EXPECT_EQ(updown_value(10), 10);
  EXPECT_EQ(updown_value(32767), 32767);
  EXPECT_EQ(updown_value(0x00010000u | 25), 25) << "the error flag in the high word is ignored";
  EXPECT_EQ(updown_value(0xFFFF), 0) << "-1 as a signed word";
  EXPECT_EQ(updown_value(0x8000), 0);
  EXPECT_EQ(updown_value(0), 0);
}

TEST(DialogValues, TransparentColourIsInPixelOrder) {
  EXPECT_EQ(transparent_from_updowns(255, 0, 0), 0x00FF0000u) << "red, not the COLORREF of red";
  EXPECT_EQ(transparent_from_updowns(10, 20, 30), 0x000A141Eu);
  EXPECT_EQ(transparent_from_updowns(0x10001, 0x100FF, 0), 0x0001FF00u) << "error flags and high bits dropped";
}

TEST(DialogValues, PointerOutsideTheLinkCountsWrappedCoordinates) {
  const uint32_t inside = (5u << 16) | 10u;  // x 10, y 5
  EXPECT_FALSE(pointer_outside(inside, 100, 12));
  EXPECT_FALSE(pointer_outside(0, 100, 12));
  EXPECT_TRUE(pointer_outside((5u << 16) | 100u, 100, 12)) << "right edge is outside";
  EXPECT_TRUE(pointer_outside((12u << 16) | 10u, 100, 12)) << "bottom edge is outside";
  EXPECT_TRUE(pointer_outside((5u << 16) | 0xFFFFu, 100, 12)) << "x = -1 wraps to 65535";
  EXPECT_TRUE(pointer_outside((0xFFFEu << 16) | 10u, 100, 12)) << "y = -2 wraps";
  EXPECT_TRUE(pointer_outside(0, 0, 0)) << "an empty control has no inside";
}

namespace {
std::u16string trimmed(const std::u16string& field, size_t units = 1024) {
  std::u16string out(units, u'#');
  trim_pasted_path(field.c_str(), &out[0], units);
  return out.substr(0, out.find(u'\0'));
}
}  // namespace

TEST(DialogValues, PastedPathLosesBlanksAndOnePairOfQuotes) {
  struct Case {
    const char16_t* field;
    const char16_t* path;
  } cases[] = {
      {u"C:\\pics\\a.bmp", u"C:\\pics\\a.bmp"},
      {u"\"C:\\My Pictures\\a.bmp\"", u"C:\\My Pictures\\a.bmp"},  // Explorer's "Copy as path"
      {u"  \t\"C:\\\u753b\u50cf.ico\" \t", u"C:\\\u753b\u50cf.ico"},
      {u" C:\\a.bmp\t", u"C:\\a.bmp"},
      {u"\" C:\\a.bmp \"", u" C:\\a.bmp "},      // blanks inside the quotes are the path's
      {u"\"\"C:\\a.bmp\"\"", u"\"C:\\a.bmp\""},  // one pair only
      {u"\"C:\\a.bmp", u"\"C:\\a.bmp"},          // a lone quote is no pair
      {u"C:\\a.bmp\"", u"C:\\a.bmp\""},
      {u"\"", u"\""},
      {u"\"\"", u""},
      {u"  \t ", u""},
      {u"", u""},
  };
  for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i)
    EXPECT_EQ(trimmed(cases[i].field), cases[i].path) << "case " << i;
  // The quotes around a path of 1023 units pair before it is cut to fit.
  std::u16string longest(1023, u'x');
  EXPECT_EQ(trimmed(u"\"" + longest + u"\" "), longest);
  EXPECT_EQ(trimmed(u"\"" + longest + u"x\""), longest) << "cut to 1023 units";
  EXPECT_EQ(trimmed(u" \"abcdef\"", 4), u"abc");
}

// The font chooser counts whole points: a height h shows as MulDiv(|h|, 72,
// dpi) points and p tenths of a point come back as -MulDiv(p, dpi, 720).
TEST(DialogValues, FontChooserHeightsMeanTheSamePointSizeAtEveryScale) {
  for (int32_t h = -300; h <= 300; ++h) {
    EXPECT_EQ(chooser_font_height(h, 96), h) << "at 100 % the stored height as it is";
    EXPECT_EQ(stored_chosen_font_height(h, 200, 96), h);
  }
  EXPECT_EQ(chooser_font_height(-27, 144), -40) << "20 points, where -41 would show as 21";
  EXPECT_EQ(chooser_font_height(-30, 144), -45);
  EXPECT_EQ(stored_chosen_font_height(-40, 200, 144), -27);
  EXPECT_EQ(stored_chosen_font_height(45, 230, 144), 30) << "not the chooser's own height: scaled back";
  for (int dpi : {120, 144, 168, 192}) {
    for (int32_t points = 1; points <= 200; ++points) {
      int32_t at_96 = -mul_div(points * 10, 96, 720);
      int32_t chosen = -mul_div(points * 10, dpi, 720);
      ASSERT_EQ(stored_chosen_font_height(chosen, points * 10, dpi), at_96) << dpi << " dpi, " << points << " pt";
      int32_t opened = chooser_font_height(at_96, dpi);
      ASSERT_EQ(mul_div(-opened, 72, dpi), mul_div(-at_96, 72, 96)) << dpi << " dpi, " << points << " pt";
    }
  }
}
