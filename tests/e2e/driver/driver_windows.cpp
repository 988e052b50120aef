// Driver commands on top-level windows: find, wait, rectangles, messages.
#include "driver.h"
#include <cwchar>

// Prints "HWND" of the first matching window, waiting up to TIMEOUT_MS.
DRIVER_COMMAND(find, L"CLASS|- TITLE_PART|- [TIMEOUT_MS] [PID]") {
  if (argc < 2) return 2;
  const wchar_t* cls = wcscmp(argv[0], L"-") ? argv[0] : L"";
  std::wstring part = wcscmp(argv[1], L"-") ? unescape_arg(argv[1]) : L"";
  DWORD timeout = argc > 2 ? wcstoul(argv[2], nullptr, 10) : 0;
  DWORD pid = argc > 3 ? wcstoul(argv[3], nullptr, 10) : 0;
  HWND hwnd = wait_top_window(cls, part.c_str(), pid, timeout);
  if (!hwnd) return 1;
  wchar_t out[32];
  swprintf(out, 32, L"%lu\n", (unsigned long)(uintptr_t)hwnd);
  print_utf8(out);
  return 0;
}

// Prints "left top right bottom" of the window rectangle (screen coordinates)
// and "client_width client_height" of its client area; fails for a dead window.
DRIVER_COMMAND(rect, L"HWND") {
  if (argc < 1) return 2;
  HWND hwnd = parse_hwnd(argv[0]);
  RECT r, c;
  if (!IsWindow(hwnd) || !GetWindowRect(hwnd, &r) || !GetClientRect(hwnd, &c)) return 1;
  wchar_t out[128];
  swprintf(out, 128, L"%ld %ld %ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom, c.right, c.bottom);
  print_utf8(out);
  return 0;
}

// Prints the window's text.
DRIVER_COMMAND(text, L"HWND") {
  if (argc < 1) return 2;
  HWND hwnd = parse_hwnd(argv[0]);
  if (!IsWindow(hwnd)) return 1;
  wchar_t buf[4096];
  SendMessageTimeoutW(hwnd, WM_GETTEXT, 4096, (LPARAM)buf, SMTO_ABORTIFHUNG, 5000, nullptr);
  print_utf8(buf);
  return 0;
}

// Exit code 0 while the window exists.
DRIVER_COMMAND(alive, L"HWND") {
  return argc >= 1 && IsWindow(parse_hwnd(argv[0])) ? 0 : 1;
}

// Posts a message; numbers are decimal or 0x hex.
DRIVER_COMMAND(post, L"HWND MSG WPARAM LPARAM") {
  if (argc < 4) return 2;
  return PostMessageW(parse_hwnd(argv[0]), wcstoul(argv[1], nullptr, 0), wcstoul(argv[2], nullptr, 0),
                      wcstol(argv[3], nullptr, 0))
             ? 0
             : 1;
}

// Prints "width height" of the primary screen as Windows sees it.
DRIVER_COMMAND(screen, L"") {
  wchar_t out[64];
  swprintf(out, 64, L"%d %d\n", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  print_utf8(out);
  return 0;
}
