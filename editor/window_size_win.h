// The main window's size in stored units: the outer size a 96-DPI window
// would have, whatever DPI the window is drawn at. At 96 DPI these are the
// window's own rectangles; at another DPI the client area is scaled and the
// frame (caption, menu bar, borders) counts as a 96-DPI window's, since its
// parts do not grow in proportion with the scale; menu bar lines beyond the
// first count at their height scaled.
#pragma once
#include <windows.h>

// A minimized window counts by its restore rectangle: its size is that of
// the restored window, and setting it sets the size it will be restored to.

// The window's outer size in stored units.
void stored_window_size(HWND window, int* width, int* height);

// Sizes the window to an outer size in stored units, without moving it.
void set_stored_window_size(HWND window, int width, int height);

// The client area's size in stored units (what a note output now gets).
void stored_client_size(HWND window, int* width, int* height);

// Sizes the window so that its client area has a size in stored units; the
// menu bar may wrap onto more lines, so the frame is measured again.
void set_stored_client_size(HWND window, int width, int height);

// WM_GETDPISCALEDSIZE: the outer size in pixels at new_dpi that keeps the
// stored size of the client area of the pending size *size, drawn at old_dpi
// (the restore rectangle's for a minimized window), with the menu bar rows
// it has at that width, so that a move to a monitor of another scale
// changes nothing stored. False when it cannot be told.
bool dpi_scaled_window_size(HWND window, int old_dpi, int new_dpi, SIZE* size);

// WM_DPICHANGED while minimized: the restore rectangle takes the size at
// new_dpi that keeps its stored size at old_dpi.
void rescale_restore_size(HWND window, int old_dpi, int new_dpi);
