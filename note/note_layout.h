// Placement and wheel-zoom arithmetic of a note window, and the other sums
// the note program does on numbers read from its table. No platform calls.
#pragma once
#include <cstdint>

struct NotePoint {
  int32_t x;
  int32_t y;
};

struct NoteRect {
  int32_t x;
  int32_t y;
  int32_t width;
  int32_t height;
};

// A monitor in screen coordinates, right and bottom excluded; monitors left
// of or above the primary one have negative coordinates.
struct NoteMonitor {
  int32_t left;
  int32_t top;
  int32_t right;
  int32_t bottom;
};

// Top-left corner of a width x height note opened at the cursor: the corner
// sits at the cursor, except where the note would cross the right or bottom
// edge of the monitor that holds the cursor, where that edge of the note sits
// at the cursor instead. Nothing else is clamped, so the note may leave the
// monitor on the left or top.
NotePoint place_note(NotePoint cursor, int32_t width, int32_t height, NoteMonitor monitor);

// The window after one wheel message with delta (positive: away from the
// user, which shrinks) on a screen at dpi: the longer side changes by delta
// and the shorter in proportion, never below 100, both in 96-DPI pixels
// scaled to dpi (so that a notch looks the same at every display scale);
// then the window is pushed back from the right and bottom edges of the
// monitor that holds the note. A note whose width or height is 0 or less
// keeps its rectangle.
NoteRect zoom_note_rect(int32_t delta, NoteRect window, NoteMonitor monitor, int32_t dpi);

// The wheel delta of a WM_MOUSEWHEEL wParam: its high 16 bits, signed.
int32_t wheel_delta(uint32_t wparam);

// One side of the edit control inside a container side: side - 2 x margin,
// never below 0.
int32_t edit_extent(int32_t container_side, int32_t margin);

// Milliseconds until a note closes itself after seconds, computed without
// overflow; 0 (and a negative value) means the note never closes by itself.
uint64_t auto_close_milliseconds(int32_t seconds);
