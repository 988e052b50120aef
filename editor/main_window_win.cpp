// The main window: creation of the edit control and the preview, the size
// handling, and the dispatch of every message to its handler.
#include "editor/main_window_win.h"
#include "common/background_image_win.h"
#include "editor/note_commands_win.h"
#include "editor/commands_win.h"
#include "editor/editor_ids.h"
#include "editor/editor_state_win.h"
#include "editor/preview_layout.h"
#include "editor/preview_win.h"
#include "editor/settings_store_win.h"
#include "editor/styles_win.h"

namespace {

// No WS_CLIPCHILDREN: invalidating the main window must repaint the edit
// control over the freshly painted picture.
const DWORD MAIN_WINDOW_STYLE = WS_VISIBLE | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX;
const DWORD EDIT_STYLE = WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL;

LRESULT on_create(HWND window, const CREATESTRUCTW* cs) {
  g_editor.main_window = window;
  int margin = g_settings.note.margin;
  g_editor.edit = CreateWindowExW(0, L"EDIT", L"", EDIT_STYLE, margin, margin, 1, 1, window,
                                  reinterpret_cast<HMENU>(IDC_NOTE_EDIT), cs->hInstance, nullptr);
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
  EditPlacement p = edit_placement(LOWORD(client_size), HIWORD(client_size), g_settings.note.margin);
  SetWindowPos(g_editor.edit, nullptr, 0, 0, p.width, p.height, SWP_NOMOVE | SWP_NOZORDER);
  if (size_type == SIZE_RESTORED) save_window_size(window);
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
  return CreateWindowExW(0, L"TESSARK_MAIN", L"Tessark", MAIN_WINDOW_STYLE, CW_USEDEFAULT, CW_USEDEFAULT,
                         width, height, nullptr, nullptr, instance, nullptr);
}

LRESULT CALLBACK main_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CREATE:  // the edit control, the preview and the menu's states
      return on_create(window, reinterpret_cast<const CREATESTRUCTW*>(lparam));
    case WM_SIZE:  // the edit control follows the client area
      on_size(window, wparam, lparam);
      break;
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
