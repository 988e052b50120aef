// Display scale arithmetic: stored (96-DPI) sizes to screen pixels and back.
#include "common/display_scale.h"
#include <climits>
#include <cstdint>

int mul_div(int value, int numerator, int denominator) {
  if (denominator == 0) return -1;
  int64_t product = static_cast<int64_t>(value) * numerator;
  int64_t d = denominator;
  if (d < 0) {
    product = -product;
    d = -d;
  }
  int64_t half = d / 2;
  int64_t result = product >= 0 ? (product + half) / d : -((-product + half) / d);
  if (result > INT_MAX || result < INT_MIN) return -1;
  return static_cast<int>(result);
}

static int effective_dpi(int dpi) { return dpi > 0 ? dpi : STORED_DPI; }

int scale_to_screen(int stored, int dpi) {
  int d = effective_dpi(dpi);
  return d == STORED_DPI ? stored : mul_div(stored, d, STORED_DPI);
}

int scale_to_stored(int pixels, int dpi) {
  int d = effective_dpi(dpi);
  return d == STORED_DPI ? pixels : mul_div(pixels, STORED_DPI, d);
}
