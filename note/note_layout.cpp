// Placement and wheel-zoom arithmetic of a note window. Products are taken in
// 64 bits so that no table value can overflow them.
#include "note/note_layout.h"
#include "common/display_scale.h"

namespace {

// The shortest side the wheel leaves, in 96-DPI pixels.
const int32_t MIN_SIDE_STORED = 100;

int32_t clamp32(int64_t v) {
  if (v > INT32_MAX) return INT32_MAX;
  if (v < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(v);
}

// Pulls a window start back so that start + side does not pass limit.
int32_t push_from_edge(int32_t start, int32_t side, int32_t limit) {
  if (static_cast<int64_t>(start) + side > limit) return clamp32(static_cast<int64_t>(limit) - side);
  return start;
}

}  // namespace

NotePoint place_note(NotePoint cursor, int32_t width, int32_t height, NoteMonitor monitor) {
  NotePoint p = cursor;
  if (static_cast<int64_t>(cursor.x) + width > monitor.right)
    p.x = clamp32(static_cast<int64_t>(cursor.x) - width);
  if (static_cast<int64_t>(cursor.y) + height > monitor.bottom)
    p.y = clamp32(static_cast<int64_t>(cursor.y) - height);
  return p;
}

NoteRect zoom_note_rect(int32_t delta, NoteRect window, NoteMonitor monitor, int32_t dpi) {
  // The proportional steps divide by both sides: a flat note cannot be zoomed.
  if (window.width <= 0 || window.height <= 0) return window;
  // A notch and the shortest side look the same at every display scale.
  int64_t min_side = scale_to_screen(MIN_SIDE_STORED, dpi);
  int64_t d = scale_to_screen(delta, dpi), w = window.width, h = window.height, w2, h2;
  if (w > h) {
    h2 = h - (d * h) / w;
    if (h2 >= min_side) {
      w2 = w - d;
    } else {
      w2 = (w * min_side) / h;
      h2 = min_side;
    }
  } else {
    w2 = w - (d * w) / h;
    if (w2 >= min_side) {
      h2 = h - d;
    } else {
      h2 = (h * min_side) / w;
      w2 = min_side;
    }
  }
  NoteRect r;
  r.width = clamp32(w2);
  r.height = clamp32(h2);
  r.x = push_from_edge(window.x, r.width, monitor.right);
  r.y = push_from_edge(window.y, r.height, monitor.bottom);
  return r;
}

int32_t wheel_delta(uint32_t wparam) {
  return static_cast<int16_t>(static_cast<uint16_t>(wparam >> 16));
}

int32_t edit_extent(int32_t container_side, int32_t margin) {
  int64_t side = static_cast<int64_t>(container_side) - 2 * static_cast<int64_t>(margin);
  return side < 0 ? 0 : clamp32(side);
}

uint64_t auto_close_milliseconds(int32_t seconds) {
  if (seconds <= 0) return 0;
  return static_cast<uint64_t>(seconds) * 1000u;
}
