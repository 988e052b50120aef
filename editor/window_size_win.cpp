// The main window's size between stored units and the pixels of its DPI.
#include "editor/window_size_win.h"
#include "common/display_scale.h"
#include "common/display_scale_win.h"
#include "editor/window_size.h"

namespace {

typedef BOOL(WINAPI* AdjustForDpiFn)(RECT*, DWORD, BOOL, DWORD, UINT);
typedef int(WINAPI* MetricsForDpiFn)(int, UINT);

// The frame (outer less client size) of a window of this one's styles with
// a one-line menu bar at dpi.
SIZE frame_at(HWND window, int dpi) {
  DWORD style = static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE));
  DWORD ex_style = static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE));
  BOOL menu = GetMenu(window) != nullptr;
  RECT r = {0, 0, 0, 0};
  AdjustForDpiFn adjust = reinterpret_cast<AdjustForDpiFn>(user32_call("AdjustWindowRectExForDpi"));
  if (adjust && adjust(&r, style, menu, ex_style, static_cast<UINT>(dpi)))
    return SIZE{r.right - r.left, r.bottom - r.top};
  // Before Windows 10 1607 only the system's DPI has metrics: its frame is
  // taken in proportion, the nearest there is.
  r = RECT{0, 0, 0, 0};
  AdjustWindowRectEx(&r, style, menu, ex_style);
  int system = window_dpi(nullptr);
  return SIZE{scale_to_screen(scale_to_stored(r.right - r.left, system), dpi),
              scale_to_screen(scale_to_stored(r.bottom - r.top, system), dpi)};
}

// The height of a menu bar row beyond the first at dpi.
int menu_row_at(int dpi) {
  MetricsForDpiFn metrics = reinterpret_cast<MetricsForDpiFn>(user32_call("GetSystemMetricsForDpi"));
  if (metrics) return metrics(SM_CYMENUSIZE, static_cast<UINT>(dpi));
  return scale_to_screen(scale_to_stored(GetSystemMetrics(SM_CYMENUSIZE), system_dpi()), dpi);
}

WindowFrame window_frame(HWND window, int dpi) {
  SIZE frame = frame_at(window, dpi);
  return WindowFrame{frame.cx, frame.cy, GetMenu(window) ? menu_row_at(dpi) : 0};
}

// Menu bar rows beyond the first at a client width in pixels of the DPI the
// menu was laid out at: its items keep their widths while the window is
// minimized or about to take another size.
int extra_menu_rows(HWND window, int client_width) {
  HMENU menu = GetMenu(window);
  int count = menu ? GetMenuItemCount(menu) : 0;
  int32_t widths[16];
  if (count > 16) count = 16;
  for (int i = 0; i < count; ++i) {
    RECT r;
    widths[i] = GetMenuItemRect(window, menu, static_cast<UINT>(i), &r) ? r.right - r.left : 0;
  }
  return count > 0 ? menu_bar_rows(widths, count, client_width) - 1 : 0;
}

// The outer size in pixels the window has shown: a minimized window's is
// that of its restore rectangle, never the minimized one.
SIZE shown_outer_size(HWND window) {
  WINDOWPLACEMENT placement = {};
  placement.length = sizeof placement;
  RECT r = {0, 0, 0, 0};
  if (IsIconic(window) && GetWindowPlacement(window, &placement))
    r = placement.rcNormalPosition;
  else
    GetWindowRect(window, &r);
  return SIZE{r.right - r.left, r.bottom - r.top};
}

// The outer size at to_dpi that keeps the stored client size of a window
// of outer size `outer` at from_dpi; the menu rows are counted at the
// client width at layout_dpi, the DPI the menu is laid out at now.
SIZE rescaled(HWND window, SIZE outer, int from_dpi, int to_dpi, int layout_dpi) {
  WindowFrame from = window_frame(window, from_dpi);
  WindowFrame to = window_frame(window, to_dpi);
  int client_width = scale_to_screen(scale_to_stored(outer.cx - from.width, from_dpi), layout_dpi);
  int rows = extra_menu_rows(window, client_width);
  OuterSize size = rescaled_outer_size(OuterSize{outer.cx, outer.cy}, rows, from_dpi, from, to_dpi, to);
  return SIZE{size.width, size.height};
}

// A minimized window is sized through its restore rectangle, which it
// takes when restored; its place there stays.
void set_restore_size(HWND window, SIZE size) {
  WINDOWPLACEMENT placement = {};
  placement.length = sizeof placement;
  if (!GetWindowPlacement(window, &placement)) return;
  placement.rcNormalPosition.right = placement.rcNormalPosition.left + size.cx;
  placement.rcNormalPosition.bottom = placement.rcNormalPosition.top + size.cy;
  SetWindowPlacement(window, &placement);
}

// Sets the client area to a size in stored units. Each pass turns it into
// pixels at the DPI the window has then, since a resize can carry the window
// onto a monitor of another scale inside SetWindowPos. A narrower window can
// also wrap its menu bar onto more lines, which takes from the client area,
// so the size is taken again until the client area is right.
void resize_to_stored_client(HWND window, int width, int height) {
  for (int attempt = 0; attempt < 4; ++attempt) {
    int dpi = window_dpi(window);
    int w = scale_to_screen(width, dpi), h = scale_to_screen(height, dpi);
    RECT client, outer;
    GetClientRect(window, &client);
    if (attempt > 0 && client.right == w && client.bottom == h) return;
    GetWindowRect(window, &outer);
    SetWindowPos(window, nullptr, 0, 0, outer.right - outer.left - client.right + w,
                 outer.bottom - outer.top - client.bottom + h, SWP_NOZORDER | SWP_NOMOVE);
  }
}

// The menu bar's height beyond its first line, in stored units. A narrow
// window wraps its menu bar at every scale alike (the menu's text and the
// window's width grow together), and a 96-DPI window of the same client area
// is taller by that much. Where the frame keeps the system's DPI, the
// window's rectangle tells nothing of it: the menu's rows do.
int wrapped_menu_height(HWND window, int dpi) {
  RECT outer, client;
  GetWindowRect(window, &outer);
  GetClientRect(window, &client);
  if (!frame_follows_window_dpi()) return extra_menu_rows(window, client.right) * menu_row_at(STORED_DPI);
  int extra = outer.bottom - outer.top - client.bottom - frame_at(window, dpi).cy;
  return extra > 0 ? scale_to_stored(extra, dpi) : 0;
}

}  // namespace

void stored_window_size(HWND window, int* width, int* height) {
  int dpi = window_dpi(window);
  RECT r = {0, 0, 0, 0};
  if (IsIconic(window)) {
    SIZE size = rescaled(window, shown_outer_size(window), dpi, STORED_DPI, dpi);
    *width = size.cx;
    *height = size.cy;
  } else if (dpi == STORED_DPI && frame_follows_window_dpi()) {
    GetWindowRect(window, &r);
    *width = r.right - r.left;
    *height = r.bottom - r.top;
  } else {
    // The frame counts as a 96-DPI window's: its parts do not grow in
    // proportion, and before Windows 10 1607 they keep the system's DPI.
    GetClientRect(window, &r);
    SIZE frame = frame_at(window, STORED_DPI);
    *width = scale_to_stored(r.right, dpi) + frame.cx;
    *height = scale_to_stored(r.bottom, dpi) + frame.cy + wrapped_menu_height(window, dpi);
  }
}

void set_stored_window_size(HWND window, int width, int height) {
  if (IsIconic(window)) {
    int dpi = window_dpi(window);
    set_restore_size(window, rescaled(window, SIZE{width, height}, STORED_DPI, dpi, dpi));
    return;
  }
  if (window_dpi(window) == STORED_DPI && frame_follows_window_dpi()) {
    SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
    // A move onto a monitor of another scale on the way: on in stored units.
    if (window_dpi(window) == STORED_DPI) return;
  }
  SIZE frame = frame_at(window, STORED_DPI);
  // The width decides how many lines the menu bar takes, so it comes first.
  resize_to_stored_client(window, width - frame.cx, height - frame.cy);
  int wrapped = wrapped_menu_height(window, window_dpi(window));
  if (wrapped > 0) resize_to_stored_client(window, width - frame.cx, height - frame.cy - wrapped);
}

void stored_client_size(HWND window, int* width, int* height) {
  int dpi = window_dpi(window);
  RECT client = {0, 0, 0, 0};
  GetClientRect(window, &client);
  if (IsIconic(window)) {
    // The client area the restored window has: its outer size less its frame.
    SIZE outer = shown_outer_size(window);
    WindowFrame frame = window_frame(window, dpi);
    client.right = outer.cx - frame.width;
    client.bottom = outer.cy - frame.height - extra_menu_rows(window, client.right) * frame.menu_row;
  }
  *width = scale_to_stored(client.right, dpi);
  *height = scale_to_stored(client.bottom, dpi);
}

void set_stored_client_size(HWND window, int width, int height) {
  if (!IsIconic(window)) {
    resize_to_stored_client(window, width, height);
    return;
  }
  int dpi = window_dpi(window);
  WindowFrame frame = window_frame(window, dpi);
  int client_width = scale_to_screen(width, dpi);
  set_restore_size(window, SIZE{client_width + frame.width, scale_to_screen(height, dpi) + frame.height +
                                                               extra_menu_rows(window, client_width) * frame.menu_row});
}

bool dpi_scaled_window_size(HWND window, int old_dpi, int new_dpi, SIZE* size) {
  if (!size || old_dpi <= 0 || new_dpi <= 0) return false;
  // The size Windows passes is the one pending; a minimized window's is
  // that of its restore rectangle, whatever else is passed.
  SIZE pending = *size;
  if (IsIconic(window) || pending.cx <= 0 || pending.cy <= 0) pending = shown_outer_size(window);
  *size = rescaled(window, pending, old_dpi, new_dpi, old_dpi);
  return true;
}

void rescale_restore_size(HWND window, int old_dpi, int new_dpi) {
  set_restore_size(window, rescaled(window, shown_outer_size(window), old_dpi, new_dpi, old_dpi));
}
