// Placement at the cursor, wheel zoom and the other sums of the note program.
#include <gtest/gtest.h>
#include "note/note_layout.h"
#include "common/display_scale.h"

namespace {

void expect_rect(NoteRect r, int x, int y, int w, int h) {
  EXPECT_EQ(r.x, x);
  EXPECT_EQ(r.y, y);
  EXPECT_EQ(r.width, w);
  EXPECT_EQ(r.height, h);
}

void expect_point(NotePoint p, int x, int y) {
  EXPECT_EQ(p.x, x);
  EXPECT_EQ(p.y, y);
}

const NoteMonitor SCREEN = {0, 0, 800, 600};

NoteRect zoom(int delta, int x, int y, int w, int h) {
  return zoom_note_rect(delta, NoteRect{x, y, w, h}, SCREEN, STORED_DPI);
}

}  // namespace

TEST(NotePlacement, CornerAtCursorUnlessAnEdgeWouldBeCrossed) {
  NotePoint p = place_note({700, 500}, 300, 200, SCREEN);
  EXPECT_EQ(p.x, 400);
  EXPECT_EQ(p.y, 300);
  p = place_note({10, 10}, 300, 200, SCREEN);
  EXPECT_EQ(p.x, 10);
  EXPECT_EQ(p.y, 10);
  // Touching the edge exactly is not crossing it.
  p = place_note({500, 400}, 300, 200, SCREEN);
  EXPECT_EQ(p.x, 500);
  EXPECT_EQ(p.y, 400);
  p = place_note({501, 401}, 300, 200, SCREEN);
  EXPECT_EQ(p.x, 201);
  EXPECT_EQ(p.y, 201);
}

TEST(NotePlacement, NothingFurtherIsClampedSoCornersMayGoOffScreen) {
  NotePoint p = place_note({100, 50}, 900, 700, SCREEN);
  EXPECT_EQ(p.x, -800);
  EXPECT_EQ(p.y, -650);
  // Only one axis flips.
  p = place_note({790, 10}, 300, 200, SCREEN);
  EXPECT_EQ(p.x, 490);
  EXPECT_EQ(p.y, 10);
}

TEST(NotePlacement, HugeTableSizesDoNotOverflow) {
  NotePoint p = place_note({700, 500}, INT32_MAX, INT32_MAX, SCREEN);
  EXPECT_EQ(p.x, 700 - INT32_MAX);
  EXPECT_EQ(p.y, 500 - INT32_MAX);
  p = place_note({-100, -100}, INT32_MAX, 10, SCREEN);
  EXPECT_EQ(p.x, INT32_MIN);  // -100 - INT32_MAX saturates
}

TEST(NotePlacement, EdgesComeFromTheMonitorThatHoldsTheCursor) {
  // A second monitor right of an 800 x 600 primary: its own right edge counts.
  const NoteMonitor right = {800, 0, 1440, 480};
  expect_point(place_note({1000, 200}, 300, 200, right), 1000, 200);
  expect_point(place_note({1300, 400}, 300, 200, right), 1000, 200);
  // Monitors left of and above the primary lie at negative coordinates.
  expect_point(place_note({-100, 700}, 300, 200, NoteMonitor{-1024, 0, 0, 768}), -400, 500);
  expect_point(place_note({-1000, 10}, 300, 200, NoteMonitor{-1024, 0, 0, 768}), -1000, 10);
  expect_point(place_note({700, -50}, 300, 200, NoteMonitor{0, -600, 800, 0}), 400, -250);
  // Wider than its monitor: flipped once, past the monitor's left edge.
  expect_point(place_note({900, 100}, 700, 100, right), 200, 100);
}

TEST(NoteZoom, AwayFromTheUserShrinksDownToTheMinimumSide) {
  NoteRect r = zoom(120, 10, 10, 300, 200);
  expect_rect(r, 10, 10, 180, 120);
  r = zoom(120, 10, 10, 180, 120);
  expect_rect(r, 10, 10, 150, 100);  // the shorter side would have been 40
  r = zoom(120, 10, 10, 150, 100);
  expect_rect(r, 10, 10, 150, 100);
}

TEST(NoteZoom, TowardsTheUserEnlarges) {
  expect_rect(zoom(-120, 10, 10, 300, 200), 10, 10, 420, 280);
  expect_rect(zoom(-120, 10, 10, 150, 100), 10, 10, 270, 180);
}

TEST(NoteZoom, SquareAndPortraitNotesScaleTheWidthInProportion) {
  expect_rect(zoom(120, 0, 0, 200, 200), 0, 0, 100, 100);
  expect_rect(zoom(-120, 0, 0, 200, 200), 0, 0, 320, 320);
  // Portrait: the height is the longer side and changes by the delta.
  expect_rect(zoom(120, 0, 0, 200, 300), 0, 0, 120, 180);
  expect_rect(zoom(120, 0, 0, 120, 180), 0, 0, 100, 150);
}

TEST(NoteZoom, DivisionsTruncateTowardsZeroAfterTheProduct) {
  // 250 x 170: h' = 170 - (120 * 170) / 250 = 170 - 81 = 89 < 100, so the width
  // is scaled from the current size: (250 * 100) / 170 = 147.
  expect_rect(zoom(120, 0, 0, 250, 170), 0, 0, 147, 100);
  // Enlarging 301 x 200: h' = 200 - (-120 * 200) / 301 = 200 + 79 = 279.
  expect_rect(zoom(-120, 0, 0, 301, 200), 0, 0, 421, 279);
}

TEST(NoteZoom, PushedBackFromTheRightAndBottomEdges) {
  // 420 x 280 from (500, 400) would end at (920, 680) on an 800 x 600 screen.
  expect_rect(zoom(-120, 500, 400, 300, 200), 380, 320, 420, 280);
  // Larger than the screen: the left edge goes negative.
  expect_rect(zoom(-1200, 0, 0, 800, 600), -1200, -900, 2000, 1500);
  // The left and top edges are never pushed.
  expect_rect(zoom(120, -50, -40, 300, 200), -50, -40, 180, 120);
}

TEST(NoteZoom, EdgesComeFromTheMonitorThatHoldsTheNote) {
  const NoteMonitor right = {800, 0, 1440, 480};
  // 420 x 280 from (1000, 200) just fits the second monitor: it stays there.
  expect_rect(zoom_note_rect(-120, NoteRect{1000, 200, 300, 200}, right, STORED_DPI), 1000, 200, 420, 280);
  expect_rect(zoom_note_rect(-120, NoteRect{1000, 200, 420, 280}, right, STORED_DPI), 900, 120, 540, 360);
  expect_rect(zoom_note_rect(120, NoteRect{1000, 200, 300, 200}, right, STORED_DPI), 1000, 200, 180, 120);
  // A monitor left of and above the primary.
  const NoteMonitor above_left = {-1024, -768, 0, 0};
  expect_rect(zoom_note_rect(-120, NoteRect{-400, -300, 300, 200}, above_left, STORED_DPI), -420, -300, 420, 280);
  // Wider than its monitor: pushed past the monitor's left edge, not clamped.
  expect_rect(zoom_note_rect(-120, NoteRect{900, 0, 600, 150}, right, STORED_DPI), 720, 0, 720, 180);
}

TEST(NoteZoom, ANotchAndTheMinimumSideScaleWithTheDisplay) {
  // At 150 % a 450 x 300 note (300 x 200 stored) zooms as 300 x 200 does at
  // 100 %, every rectangle 1.5 times as large.
  const NoteMonitor big = {0, 0, 1536, 1152};
  expect_rect(zoom_note_rect(120, NoteRect{15, 15, 450, 300}, big, 144), 15, 15, 270, 180);
  expect_rect(zoom_note_rect(120, NoteRect{15, 15, 270, 180}, big, 144), 15, 15, 225, 150);
  expect_rect(zoom_note_rect(-120, NoteRect{15, 15, 225, 150}, big, 144), 15, 15, 405, 270);
  expect_rect(zoom_note_rect(-120, NoteRect{1100, 900, 450, 300}, big, 144), 906, 732, 630, 420);
  // Portrait at 125 %: a notch is 150 pixels, the minimum side 125.
  expect_rect(zoom_note_rect(120, NoteRect{0, 0, 250, 375}, big, 120), 0, 0, 150, 225);
  expect_rect(zoom_note_rect(120, NoteRect{0, 0, 150, 225}, big, 120), 0, 0, 125, 187);
  // A DPI the platform could not tell counts as 100 %.
  expect_rect(zoom_note_rect(120, NoteRect{10, 10, 300, 200}, SCREEN, 0), 10, 10, 180, 120);
}

TEST(NoteZoom, FlatNotesKeepTheirSize) {
  expect_rect(zoom(120, 10, 20, 0, 200), 10, 20, 0, 200);
  expect_rect(zoom(-120, 10, 20, 300, 0), 10, 20, 300, 0);
  expect_rect(zoom(120, 10, 20, 0, 0), 10, 20, 0, 0);
  // Even where a push from the edge would otherwise move it.
  expect_rect(zoom(120, 790, 20, 300, 0), 790, 20, 300, 0);
}

TEST(NoteZoom, LargeSidesNeedWideProducts) {
  // 120 x 1000000000 does not fit 32 bits.
  NoteRect r = zoom_note_rect(120, NoteRect{0, 0, 2000000000, 1000000000}, SCREEN, STORED_DPI);
  EXPECT_EQ(r.width, 1999999880);
  EXPECT_EQ(r.height, 999999940);
  // Growing past the largest side saturates instead of wrapping negative.
  r = zoom_note_rect(-32768, NoteRect{0, 0, 2147480000, 100}, SCREEN, STORED_DPI);
  EXPECT_EQ(r.width, INT32_MAX);
  EXPECT_EQ(r.height, 100);
  r = zoom_note_rect(-32768, NoteRect{0, 0, 100, 2147480000}, SCREEN, STORED_DPI);
  EXPECT_EQ(r.width, 100);
  EXPECT_EQ(r.height, INT32_MAX);
}

TEST(WheelDelta, HighWordIsSigned) {
  EXPECT_EQ(wheel_delta(0x00780000u), 120);
  EXPECT_EQ(wheel_delta(0xFF880000u), -120);
  EXPECT_EQ(wheel_delta(0xFF88FFFFu), -120);  // key state bits in the low word are ignored
  EXPECT_EQ(wheel_delta(0x80000000u), -32768);
}

TEST(EditExtent, MarginOnBothSidesNeverBelowZero) {
  EXPECT_EQ(edit_extent(300, 10), 280);
  EXPECT_EQ(edit_extent(20, 10), 0);
  EXPECT_EQ(edit_extent(10, 10), 0);
  EXPECT_EQ(edit_extent(300, -5), 310);
  EXPECT_EQ(edit_extent(100, INT32_MAX), 0);
  EXPECT_EQ(edit_extent(INT32_MAX, INT32_MIN), INT32_MAX);
}

TEST(AutoClose, SecondsBecomeMillisecondsWithoutOverflow) {
  EXPECT_EQ(auto_close_milliseconds(0), 0u);
  EXPECT_EQ(auto_close_milliseconds(5), 5000u);
  EXPECT_EQ(auto_close_milliseconds(32767), 32767000u);
  // 4294968 s would wrap a 32-bit count of milliseconds to 704 ms.
  EXPECT_EQ(auto_close_milliseconds(4294968), 4294968000ull);
  EXPECT_EQ(auto_close_milliseconds(INT32_MAX), 2147483647000ull);
  // A negative time never closes the note, like 0.
  EXPECT_EQ(auto_close_milliseconds(-1), 0u);
  EXPECT_EQ(auto_close_milliseconds(INT32_MIN), 0u);
}
