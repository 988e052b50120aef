// The main window's size arithmetic between display scales: how many rows
// its menu bar takes at a width, and the outer size at another DPI that
// keeps the client area's stored size. No platform calls.
#pragma once
#include <cstdint>

// Rows a menu bar of count items of these widths takes in a bar bar_width
// pixels wide: items go left to right, and one that would cross the right
// edge starts a new row unless it is the first of its row. At least 1.
int32_t menu_bar_rows(const int32_t* item_widths, int32_t count, int32_t bar_width);

// What a window has around its client area at one DPI.
struct WindowFrame {
  int32_t width;     // outer less client width
  int32_t height;    // outer less client height, with a menu bar of one row
  int32_t menu_row;  // the height of each menu bar row beyond the first
};

struct OuterSize {
  int32_t width, height;
};

// The outer size at to_dpi of a window whose client area has the stored size
// that a window of outer size `outer` has at from_dpi, each with extra_rows
// menu bar rows beyond the first: a menu bar wraps alike at every scale, as
// its text and the window's width grow together.
OuterSize rescaled_outer_size(OuterSize outer, int32_t extra_rows, int32_t from_dpi, WindowFrame from,
                              int32_t to_dpi, WindowFrame to);
