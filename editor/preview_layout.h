// Where the preview's edit control goes and which display mode the preview
// is in: the arithmetic behind the editor's window layout.
#pragma once
#include <cstdint>

// The edit control's rectangle inside a client area: at (margin, margin),
// the client size less twice the margin. Nothing is clamped: a margin of more
// than half the client gives a zero or negative size, as the window asks.
struct EditPlacement {
  int32_t x, y, width, height;
};
EditPlacement edit_placement(int32_t client_width, int32_t client_height, int32_t margin);

// Background image mode needs both the flag and a loaded picture; anything
// else is colour mode.
bool background_image_mode(int32_t image_enabled, bool bitmap_loaded);
