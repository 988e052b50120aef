// Turning what the settings dialogs' controls report into stored values.
#pragma once
#include <cstddef>
#include <cstdint>

// The value an up-down control's UDM_GETPOS result stands for: the low word
// as a signed 16-bit number (the error flag in the high word is ignored),
// with a negative value raised to 0.
int32_t updown_value(uint32_t getpos_result);

// The transparent colour (0x00RRGGBB) from the three up-down results of the
// background image dialog, each component cut to its low 8 bits.
uint32_t transparent_from_updowns(uint32_t red_result, uint32_t green_result, uint32_t blue_result);

// True when a mouse position as WM_MOUSEMOVE gives it (x in the low word, y
// in the high word, each read unsigned) lies outside a width x height client
// area; positions left of or above the area wrap to large values and count as
// outside.
bool pointer_outside(uint32_t mouse_lparam, int32_t width, int32_t height);

// Copies the text of a path field to out (out_units, at least 1; cut to fit,
// always terminated) as a path: blanks (spaces, tabs) around it and then one
// pair of double quotes around the rest are dropped, so that a path pasted
// from Explorer's "Copy as path" names the file.
void trim_pasted_path(const char16_t* text, char16_t* out, size_t out_units);

// The font chooser at dpi counts a character height h as the whole point
// size MulDiv(|h|, 72, dpi) and gives a point size p (in tenths) back as the
// height -MulDiv(p, dpi, 720). The height to open it with on a stored
// (96-DPI) height: the height scaled to dpi, unless the chooser would show
// another whole point size for it than it shows at 96 DPI (27 scaled to 144
// DPI is 40.5, 41 would show 21 points instead of 20); then the height of
// that point size at dpi.
int32_t chooser_font_height(int32_t stored_height, int dpi);

// The stored height of the font the chooser returned at dpi: what the
// chooser gives for the same point size at 96 DPI, so that 20 points is the
// same stored height at every scale; a height that is not the chooser's own
// for point_tenths is scaled back instead.
int32_t stored_chosen_font_height(int32_t chosen_height, int32_t point_tenths, int dpi);
