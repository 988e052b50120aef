// Menu bar rows and outer sizes of the main window between display scales.
#include "editor/window_size.h"
#include "common/display_scale.h"

int32_t menu_bar_rows(const int32_t* item_widths, int32_t count, int32_t bar_width) {
  int32_t rows = 1;
  int64_t x = 0;
  for (int32_t i = 0; i < count; ++i) {
    if (x > 0 && x + item_widths[i] > bar_width) {
      ++rows;
      x = 0;
    }
    x += item_widths[i];
  }
  return rows;
}

OuterSize rescaled_outer_size(OuterSize outer, int32_t extra_rows, int32_t from_dpi, WindowFrame from,
                              int32_t to_dpi, WindowFrame to) {
  int32_t client_width = outer.width - from.width;
  int32_t client_height = outer.height - from.height - extra_rows * from.menu_row;
  return OuterSize{scale_to_screen(scale_to_stored(client_width, from_dpi), to_dpi) + to.width,
                   scale_to_screen(scale_to_stored(client_height, from_dpi), to_dpi) + to.height +
                       extra_rows * to.menu_row};
}
