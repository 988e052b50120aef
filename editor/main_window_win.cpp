// The main window: creation of the edit control and the preview, the size
// handling, and the dispatch of every message to its handler.
#include "editor/main_window_win.h"
#include "common/background_image_win.h"
#include "common/display_scale.h"
#include "common/display_scale_win.h"
#include "editor/note_commands_win.h"
#include "editor/commands_win.h"
#include "editor/editor_ids.h"
#include "editor/editor_state_win.h"
#include "editor/preview_layout.h"
#include "editor/preview_win.h"
#include "editor/settings_store_win.h"
#include "editor/styles_win.h"
#include "editor/window_size_win.h"

namespace {

// No WS_CLIPCHILDREN: invalidating the main window must repaint the edit
// control over the freshly painted picture.
const DWORD MAIN_WINDOW_STYLE = WS_VISIBLE | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX;
const DWORD EDIT_STYLE = WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL;
// Windows 10 1703 and later; the headers name it for newer targets only.
const UINT GETDPISCALEDSIZE_MESSAGE = 0x02E4;

// The outer size saved in the settings file, CW_USEDEFAULT where none is.
struct SavedSize {
  int width, height;
};

LRESULT on_create(HWND window, const CREATESTRUCTW* cs) {
  g_editor.main_window = window;
  g_editor.dpi = window_dpi(window);
  int margin = scale_to_screen(g_settings.note.margin, g_editor.dpi);
  g_editor.edit = CreateWindowExW(0, L"EDIT", L"", EDIT_STYLE, margin, margin, 1, 1, window,
                                  reinterpret_cast<HMENU>(IDC_NOTE_EDIT), cs->hInstance, nullptr);
  // The window was made at the saved size in pixels; on a monitor of another
  // scale it takes that size in stored units before anything else is saved.
  const SavedSize* saved = static_cast<const SavedSize*>(cs->lpCreateParams);
  if (g_editor.dpi != STORED_DPI && saved->width != CW_USEDEFAULT && saved->height != CW_USEDEFAULT)
    set_stored_window_size(window, saved->width, saved->height);
  apply_preview_font(g_editor.edit);
  if (g_settings.note.image_enabled) {
    load_preview_background_image(window);
    apply_background_mode(window);
  }
  g_editor.menu = GetMenu(window);
  update_style_menu(g_editor.menu);
  CheckMenuItem(g_editor.menu, CMD_ESCAPE_MESSAGE,
                MF_BYCOMMAND | (g_settings.escape_message ? MF_CHECKED : MF_UNCHECKED));
  reopen_from_command_line(window);
  DragAcceptFiles(window, TRUE);
  return 0;
}

void on_size(HWND window, WPARAM size_type, LPARAM client_size) {
  EditPlacement p = edit_placement(LOWORD(client_size), HIWORD(client_size),
                                   scale_to_screen(g_settings.note.margin, window_dpi(window)));
  SetWindowPos(g_editor.edit, nullptr, 0, 0, p.width, p.height, SWP_NOMOVE | SWP_NOZORDER);
  if (size_type == SIZE_RESTORED && !g_editor.keep_stored_size) save_window_size(window);
}

// WM_DPICHANGED: the window moved to a monitor of another scale, or the
// scale changed. It takes the rectangle Windows suggests (sized through
// WM_GETDPISCALEDSIZE), keeps the client area's stored size should the menu
// bar wrap otherwise, and draws anew; nothing stored changes. A minimized
// window keeps its place and takes the new size in its restore rectangle.
void on_dpi_changed(HWND window, int new_dpi, const RECT* suggested) {
  // The client area was laid out at the old DPI, which the window no longer
  // reports.
  RECT client;
  GetClientRect(window, &client);
  int width = scale_to_stored(client.right, g_editor.dpi);
  int height = scale_to_stored(client.bottom, g_editor.dpi);
  int old_dpi = g_editor.dpi;
  g_editor.dpi = new_dpi;
  g_editor.keep_stored_size = true;
  if (IsIconic(window)) {
    rescale_restore_size(window, old_dpi, new_dpi);
  } else {
    SetWindowPos(window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                 suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    set_stored_client_size(window, width, height);
  }
  apply_preview_font(g_editor.edit);
  place_edit_control(window);
  InvalidateRect(window, nullptr, TRUE);
  g_editor.keep_stored_size = false;
}

LRESULT on_command(HWND window, WPARAM wparam) {
  if (LOWORD(wparam) == IDC_NOTE_EDIT) {
    if (HIWORD(wparam) == EN_UPDATE) on_edit_update(window);
    return 0;
  }
  if (!g_editor.busy) dispatch_command(window, LOWORD(wparam));
  return 0;
}

}  // namespace

HWND create_main_window(HINSTANCE instance) {
  const wchar_t* path = reinterpret_cast<const wchar_t*>(g_settings.settings_path);
  int width = static_cast<int>(GetPrivateProfileIntW(L"WINDOW", L"WIDTH", CW_USEDEFAULT, path));
  int height = static_cast<int>(GetPrivateProfileIntW(L"WINDOW", L"HEIGHT", CW_USEDEFAULT, path));
  SavedSize saved = {width, height};
  return CreateWindowExW(0, L"TESSARK_MAIN", L"Tessark", MAIN_WINDOW_STYLE, CW_USEDEFAULT, CW_USEDEFAULT,
                         width, height, nullptr, nullptr, instance, &saved);
}

LRESULT CALLBACK main_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_NCCREATE:  // Windows 10 1607 scales the caption and menu only when asked
      enable_frame_scaling(window);
      break;
    case WM_CREATE:  // the edit control, the preview and the menu's states
      return on_create(window, reinterpret_cast<const CREATESTRUCTW*>(lparam));
    case WM_SIZE:  // the edit control follows the client area
      on_size(window, wparam, lparam);
      break;
    case GETDPISCALEDSIZE_MESSAGE: {  // the size at the new scale keeps what is stored
      SIZE* size = reinterpret_cast<SIZE*>(lparam);
      return dpi_scaled_window_size(window, g_editor.dpi, static_cast<int>(wparam), size) ? TRUE : FALSE;
    }
    case WM_DPICHANGED:
      on_dpi_changed(window, HIWORD(wparam), reinterpret_cast<const RECT*>(lparam));
      return 0;
    case WM_PAINT:  // the picture covers the whole client area in image mode
      if (preview_in_image_mode()) {
        paint_background_image(window, g_editor.background);
        return 0;
      }
      break;
    case WM_COMMAND:
      return on_command(window, wparam);
    case WM_TIMER:  // a selection change sends no notification, hence the poll
      poll_selection(window);
      break;
    case WM_CTLCOLOREDIT:
      if (reinterpret_cast<HWND>(lparam) == g_editor.edit)
        return edit_colors(window, reinterpret_cast<HDC>(wparam));
      break;
    case WM_DROPFILES:  // exactly one dropped note is reopened
      reopen_dropped_note(reinterpret_cast<HDROP>(wparam), window);
      break;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}
