// Display scale arithmetic. Every size Tessark stores (margins, font heights
// and widths, window and note sizes) is in units of a 96-DPI screen; a
// program drawing at another DPI scales it on the way to the screen and back.
#pragma once

// The DPI of a screen at 100 % display scale, the unit of every stored size.
enum { STORED_DPI = 96 };

// value * numerator / denominator rounded half away from zero, as Windows'
// MulDiv; -1 when denominator is 0 or the result leaves the int range.
int mul_div(int value, int numerator, int denominator);

// A stored size in pixels of a screen at dpi (a dpi of 0 or less counts as 96).
int scale_to_screen(int stored, int dpi);

// Pixels of a screen at dpi as a stored size; the inverse of scale_to_screen:
// scale_to_stored(scale_to_screen(v, dpi), dpi) == v for every dpi >= 96.
int scale_to_stored(int pixels, int dpi);
