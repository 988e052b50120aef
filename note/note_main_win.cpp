// Entry of the note program: read the note text from the program's own file
// name, create the input window at the cursor, run the message loop.
#include <stdlib.h>
#include "note/note_state_win.h"
#include "note/note_layout.h"
#include "note/note_resources.h"
#include "common/note_settings_table.h"
#include "common/note_settings_table_win.h"
#include "common/display_scale.h"
#include "common/display_scale_win.h"

NoteProcess note_state;

namespace {

const wchar_t INPUT_CLASS[] = L"VEMTO_SRC_MAIN";
const int MODULE_PATH_UNITS = 2048;

bool register_input_class(HINSTANCE instance) {
  WNDCLASSEXW wc;
  ZeroMemory(&wc, sizeof wc);
  wc.cbSize = sizeof wc;
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = input_window_proc;
  wc.hInstance = instance;
  wc.hIcon = static_cast<HICON>(
      LoadImageW(instance, MAKEINTRESOURCEW(NOTE_ICON_GROUP_ID), IMAGE_ICON, 0, 0, LR_SHARED));
  wc.hCursor = static_cast<HCURSOR>(
      LoadImageW(nullptr, IDC_ARROW, IMAGE_CURSOR, 0, 0, LR_SHARED | LR_DEFAULTSIZE));
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  wc.lpszClassName = INPUT_CLASS;
  return RegisterClassExW(&wc) != 0;
}

}  // namespace

void set_note_text_from_path(const wchar_t* module_path) {
  wchar_t drive[3], dir[256], name[NOTE_TEXT_UNITS], ext[256];
  // The splitter refuses a path whose parts do not fit; the note then shows
  // without text rather than not at all.
  if (!module_path || _wsplitpath_s(module_path, drive, 3, dir, 256, name, NOTE_TEXT_UNITS, ext, 256) != 0)
    name[0] = 0;
  unescape_note_name(reinterpret_cast<const char16_t*>(name), reinterpret_cast<char16_t*>(note_state.text));
}

NoteMonitor note_monitor(HMONITOR monitor) {
  MONITORINFO info;
  info.cbSize = sizeof info;
  if (!monitor || !GetMonitorInfoW(monitor, &info))
    return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  return {info.rcMonitor.left, info.rcMonitor.top, info.rcMonitor.right, info.rcMonitor.bottom};
}

HWND create_note_window(HINSTANCE instance) {
  note_state.instance = instance;
  if (!register_input_class(instance)) return nullptr;
  wchar_t path[MODULE_PATH_UNITS];
  DWORD n = GetModuleFileNameW(nullptr, path, MODULE_PATH_UNITS);
  set_note_text_from_path(n > 0 && n < MODULE_PATH_UNITS ? path : nullptr);
  POINT cursor;
  GetCursorPos(&cursor);
  // The table holds 96-DPI sizes; the note is drawn at the scale of the
  // monitor it opens on.
  note_state.dpi = monitor_dpi_at(cursor);
  note_state.margin = note_margin(instance);
  NoteMonitor monitor = note_monitor(MonitorFromPoint(cursor, MONITOR_DEFAULTTONEAREST));
  int stored_width = note_setting_int(instance, NS_CLIENT_WIDTH, 32);
  int stored_height = note_setting_int(instance, NS_CLIENT_HEIGHT, 32);
  int width = scale_to_screen(stored_width, note_state.dpi);
  int height = scale_to_screen(stored_height, note_state.dpi);
  NotePoint at = place_note({cursor.x, cursor.y}, width, height, monitor);
  HWND input = CreateWindowExW(WS_EX_LAYERED, INPUT_CLASS, note_state.text, WS_POPUP | WS_SYSMENU, at.x, at.y,
                               width, height, nullptr, nullptr, instance, nullptr);
  if (!input) return nullptr;
  // A large note can lie mostly on a neighbouring monitor of another scale,
  // whose DPI Windows gives it without a WM_DPICHANGED: it takes that scale
  // once, as the message would have it, before it shows.
  int dpi = window_dpi(input);
  if (dpi != note_state.dpi) {
    width = scale_to_screen(stored_width, dpi);
    height = scale_to_screen(stored_height, dpi);
    at = place_note({cursor.x, cursor.y}, width, height, monitor);
    RECT rescaled = {at.x, at.y, at.x + width, at.y + height};
    rescale_note(input, dpi, rescaled);
  }
  ShowWindow(input, SW_SHOW);
  return input;
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
  // Before any window exists, or Windows would stretch the note as a picture.
  enable_display_scaling();
  if (!create_note_window(instance)) return -1;
  MSG msg;
  // GetMessageW gives -1 on a broken loop; end then rather than spin.
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}
