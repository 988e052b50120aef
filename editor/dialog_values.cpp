// Values of the settings dialogs' controls, the paths of their path fields,
// the font chooser's heights at a display scale, and the About link's hit test.
#include "editor/dialog_values.h"
#include "common/display_scale.h"
#include "common/text16.h"

int32_t updown_value(uint32_t getpos_result) {
  int32_t v = static_cast<int16_t>(getpos_result & 0xFFFF);
  return v < 0 ? 0 : v;
}

uint32_t transparent_from_updowns(uint32_t red_result, uint32_t green_result, uint32_t blue_result) {
  return ((red_result & 0xFF) << 16) | ((green_result & 0xFF) << 8) | (blue_result & 0xFF);
}

bool pointer_outside(uint32_t mouse_lparam, int32_t width, int32_t height) {
  uint32_t x = mouse_lparam & 0xFFFF, y = mouse_lparam >> 16;
  return width <= 0 || height <= 0 || x >= static_cast<uint32_t>(width) || y >= static_cast<uint32_t>(height);
}

namespace {
bool is_blank(char16_t c) { return c == u' ' || c == u'\t'; }

int32_t magnitude(int32_t v) { return v < 0 ? -v : v; }

int32_t with_sign_of(int32_t model, int32_t v) { return model < 0 ? -v : v; }
}  // namespace

int32_t chooser_font_height(int32_t stored_height, int dpi) {
  int32_t scaled = scale_to_screen(stored_height, dpi);
  if (dpi <= 0 || stored_height == INT32_MIN) return scaled;
  int32_t points = mul_div(magnitude(stored_height), 72, STORED_DPI);
  if (mul_div(magnitude(scaled), 72, dpi) == points) return scaled;
  return with_sign_of(stored_height, mul_div(points, dpi, 72));
}

int32_t stored_chosen_font_height(int32_t chosen_height, int32_t point_tenths, int dpi) {
  if (dpi > 0 && point_tenths > 0 && chosen_height == -mul_div(point_tenths, dpi, 720))
    return -mul_div(point_tenths, STORED_DPI, 720);
  return scale_to_stored(chosen_height, dpi);
}

void trim_pasted_path(const char16_t* text, char16_t* out, size_t out_units) {
  size_t begin = 0, end = text16_length(text);
  while (begin < end && is_blank(text[begin])) ++begin;
  while (end > begin && is_blank(text[end - 1])) --end;
  if (end - begin >= 2 && text[begin] == u'"' && text[end - 1] == u'"') ++begin, --end;
  size_t n = end - begin < out_units - 1 ? end - begin : out_units - 1;
  for (size_t i = 0; i < n; ++i) out[i] = text[begin + i];
  out[n] = 0;
}
