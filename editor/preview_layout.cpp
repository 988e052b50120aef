// Edit control placement and display mode of the preview.
#include "editor/preview_layout.h"

EditPlacement edit_placement(int32_t client_width, int32_t client_height, int32_t margin) {
  // 64-bit arithmetic: a margin loaded from the file has no upper bound.
  auto inner = [margin](int32_t side) {
    int64_t v = static_cast<int64_t>(side) - 2 * static_cast<int64_t>(margin);
    if (v < INT32_MIN) v = INT32_MIN;
    return static_cast<int32_t>(v);
  };
  return EditPlacement{margin, margin, inner(client_width), inner(client_height)};
}

bool background_image_mode(int32_t image_enabled, bool bitmap_loaded) {
  return image_enabled != 0 && bitmap_loaded;
}
