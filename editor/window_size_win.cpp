// The main window's size between stored units and the pixels of its DPI.
#include "editor/window_size_win.h"
#include "common/display_scale.h"
#include "common/display_scale_win.h"

namespace {

typedef BOOL(WINAPI* AdjustForDpiFn)(RECT*, DWORD, BOOL, DWORD, UINT);

// The frame (outer less client size) of a window of this one's styles with
// a one-line menu bar at dpi.
SIZE frame_at(HWND window, int dpi) {
  DWORD style = static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE));
  DWORD ex_style = static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE));
  BOOL menu = GetMenu(window) != nullptr;
  RECT r = {0, 0, 0, 0};
  AdjustForDpiFn adjust = reinterpret_cast<AdjustForDpiFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "AdjustWindowRectExForDpi")));
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

// Sets the client area to width x height pixels. A narrower window can wrap
// its menu bar onto more lines, which takes from the client area, so the
// size is taken again until the client area is right.
void resize_client(HWND window, int width, int height) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    RECT client, outer;
    GetClientRect(window, &client);
    if (attempt > 0 && client.right == width && client.bottom == height) return;
    GetWindowRect(window, &outer);
    SetWindowPos(window, nullptr, 0, 0, outer.right - outer.left - client.right + width,
                 outer.bottom - outer.top - client.bottom + height, SWP_NOZORDER | SWP_NOMOVE);
  }
}

// The menu bar's height beyond its first line, in stored units. A narrow
// window wraps its menu bar at every scale alike (the menu's text and the
// window's width grow together), and a 96-DPI window of the same client area
// is taller by that much.
int wrapped_menu_height(HWND window, int dpi) {
  RECT outer, client;
  GetWindowRect(window, &outer);
  GetClientRect(window, &client);
  int extra = outer.bottom - outer.top - client.bottom - frame_at(window, dpi).cy;
  return extra > 0 ? scale_to_stored(extra, dpi) : 0;
}

}  // namespace

void stored_window_size(HWND window, int* width, int* height) {
  int dpi = window_dpi(window);
  RECT r = {0, 0, 0, 0};
  if (dpi == STORED_DPI) {
    GetWindowRect(window, &r);
    *width = r.right - r.left;
    *height = r.bottom - r.top;
    return;
  }
  GetClientRect(window, &r);
  SIZE frame = frame_at(window, STORED_DPI);
  *width = scale_to_stored(r.right, dpi) + frame.cx;
  *height = scale_to_stored(r.bottom, dpi) + frame.cy + wrapped_menu_height(window, dpi);
}

void set_stored_window_size(HWND window, int width, int height) {
  int dpi = window_dpi(window);
  if (dpi == STORED_DPI) {
    SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
    return;
  }
  SIZE frame = frame_at(window, STORED_DPI);
  int client_width = scale_to_screen(width - frame.cx, dpi);
  // The width decides how many lines the menu bar takes, so it comes first.
  resize_client(window, client_width, scale_to_screen(height - frame.cy, dpi));
  int wrapped = wrapped_menu_height(window, dpi);
  if (wrapped > 0) resize_client(window, client_width, scale_to_screen(height - frame.cy - wrapped, dpi));
}

void stored_client_size(HWND window, int* width, int* height) {
  int dpi = window_dpi(window);
  RECT client = {0, 0, 0, 0};
  GetClientRect(window, &client);
  *width = scale_to_stored(client.right, dpi);
  *height = scale_to_stored(client.bottom, dpi);
}

void set_stored_client_size(HWND window, int width, int height) {
  int dpi = window_dpi(window);
  resize_client(window, scale_to_screen(width, dpi), scale_to_screen(height, dpi));
}

bool dpi_scaled_window_size(HWND window, int old_dpi, int new_dpi, SIZE* size) {
  if (!size || old_dpi <= 0 || new_dpi <= 0) return false;
  RECT client = {0, 0, 0, 0};
  GetClientRect(window, &client);
  SIZE frame = frame_at(window, new_dpi);
  size->cx = scale_to_screen(scale_to_stored(client.right, old_dpi), new_dpi) + frame.cx;
  size->cy = scale_to_screen(scale_to_stored(client.bottom, old_dpi), new_dpi) + frame.cy;
  return true;
}
