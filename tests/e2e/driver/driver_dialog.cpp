// Driver commands on the controls of a window or dialog: read and fill
// fields, press buttons, read check boxes, enabling, up-down ranges,
// rectangles, combo box choices and the keyboard focus.
#include "driver.h"
#include <commctrl.h>
#include <cstdarg>
#include <cwchar>
#include <string>

namespace {

HWND control(wchar_t** argv) {
  return GetDlgItem(parse_hwnd(argv[0]), static_cast<int>(wcstol(argv[1], nullptr, 0)));
}

int print_line(const wchar_t* format, ...) {
  wchar_t out[512];
  va_list args;
  va_start(args, format);
  vswprintf(out, 512, format, args);
  va_end(args);
  print_utf8(out);
  return 0;
}

std::wstring window_text(HWND hwnd) {
  wchar_t buf[4096] = L"";
  DWORD_PTR ignored;
  SendMessageTimeoutW(hwnd, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 5000, &ignored);
  return buf;
}

BOOL CALLBACK print_child(HWND child, LPARAM) {
  wchar_t cls[64];
  GetClassNameW(child, cls, 64);
  std::wstring text = window_text(child);
  for (auto& c : text)
    if (c == L'\n') c = L'|';
  wchar_t head[128];
  swprintf(head, 128, L"%d\t%ls\t%d\t", GetDlgCtrlID(child), cls, IsWindowVisible(child) ? 1 : 0);
  print_utf8(std::wstring(head) + text + L"\n");
  return TRUE;
}

}  // namespace

// Prints the text of control ID of the window.
DRIVER_COMMAND(gettext, L"HWND ID") {
  if (argc < 2) return 2;
  HWND c = control(argv);
  if (!c) return 1;
  print_utf8(window_text(c));
  return 0;
}

// Sets the text of control ID (\n, \uXXXX escapes allowed), as typing would.
DRIVER_COMMAND(settext, L"HWND ID TEXT") {
  if (argc < 3) return 2;
  HWND c = control(argv);
  if (!c) return 1;
  std::wstring text = unescape_arg(argv[2]);
  DWORD_PTR ignored;
  return SendMessageTimeoutW(c, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, 5000,
                             &ignored)
             ? 0
             : 1;
}

// Presses button ID (posted, so that a dialog it opens does not block us).
DRIVER_COMMAND(click, L"HWND ID") {
  if (argc < 2) return 2;
  HWND c = control(argv);
  return c && PostMessageW(c, BM_CLICK, 0, 0) ? 0 : 1;
}

// Prints 1 when check box ID is checked, else 0.
DRIVER_COMMAND(checked, L"HWND ID") {
  if (argc < 2) return 2;
  HWND c = control(argv);
  if (!c) return 1;
  return print_line(L"%d\n", SendMessageW(c, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0);
}

// Prints 1 when control ID is enabled, else 0.
DRIVER_COMMAND(enabled, L"HWND ID") {
  if (argc < 2) return 2;
  HWND c = control(argv);
  if (!c) return 1;
  return print_line(L"%d\n", IsWindowEnabled(c) ? 1 : 0);
}

// Prints "position minimum maximum" of up-down control ID.
DRIVER_COMMAND(updown, L"HWND ID") {
  if (argc < 2) return 2;
  HWND c = control(argv);
  if (!c) return 1;
  LRESULT pos = SendMessageW(c, UDM_GETPOS, 0, 0);
  LRESULT range = SendMessageW(c, UDM_GETRANGE, 0, 0);
  return print_line(L"%d %d %d\n", static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(range)),
                    static_cast<short>(LOWORD(range)));
}

// Prints "left top right bottom" of control ID in its parent's client
// coordinates and "left top" of its client origin on the screen.
DRIVER_COMMAND(childrect, L"HWND ID") {
  if (argc < 2) return 2;
  HWND parent = parse_hwnd(argv[0]);
  HWND c = control(argv);
  if (!c) return 1;
  RECT r;
  GetWindowRect(c, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  POINT origin = {0, 0};
  ClientToScreen(c, &origin);
  return print_line(L"%ld %ld %ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom, origin.x, origin.y);
}

// Prints one line per child window: "id<TAB>class<TAB>visible<TAB>text"
// (line breaks in texts shown as |). Reads message boxes as well.
DRIVER_COMMAND(children, L"HWND") {
  if (argc < 1) return 2;
  HWND hwnd = parse_hwnd(argv[0]);
  if (!IsWindow(hwnd)) return 1;
  EnumChildWindows(hwnd, print_child, 0);
  return 0;
}

// Selects the item of combo box ID that starts with TEXT and tells the
// dialog, as choosing it from the list does.
DRIVER_COMMAND(cbselect, L"HWND ID TEXT") {
  if (argc < 3) return 2;
  HWND dialog = parse_hwnd(argv[0]);
  HWND c = control(argv);
  if (!c) return 1;
  std::wstring text = unescape_arg(argv[2]);
  LRESULT index = SendMessageW(c, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str()));
  if (index == CB_ERR) return 1;
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(c), CBN_SELCHANGE), reinterpret_cast<LPARAM>(c));
  return 0;
}

// Prints the window that has the keyboard focus in HWND's thread, and its id.
DRIVER_COMMAND(focus, L"HWND") {
  if (argc < 1) return 2;
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(parse_hwnd(argv[0]), nullptr), &info)) return 1;
  return print_line(L"%lu %d\n", static_cast<unsigned long>(reinterpret_cast<uintptr_t>(info.hwndFocus)),
                    info.hwndFocus ? GetDlgCtrlID(info.hwndFocus) : 0);
}

// Brings the window to the foreground, so that keys typed next reach it.
DRIVER_COMMAND(activate, L"HWND") {
  if (argc < 1) return 2;
  HWND hwnd = parse_hwnd(argv[0]);
  return SetForegroundWindow(hwnd) ? 0 : 1;
}
