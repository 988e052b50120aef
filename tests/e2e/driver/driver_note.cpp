// Driver commands for notes: write a resource into a copy of the note
// template, and read the state of a running note's windows from outside.
#include "driver.h"
#include <cstdio>
#include <cwchar>
#include <vector>

namespace {

bool read_whole_file(const wchar_t* path, std::vector<char>* out) {
  HANDLE f = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  DWORD size = GetFileSize(f, nullptr), got = 0;
  out->resize(size);
  BOOL ok = size == 0 || ReadFile(f, out->data(), size, &got, nullptr);
  CloseHandle(f);
  return ok && got == size;
}

struct NoteWindows {
  DWORD pid;
  HWND container;
};

BOOL CALLBACK find_container(HWND hwnd, LPARAM lp) {
  NoteWindows* w = reinterpret_cast<NoteWindows*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  wchar_t cls[64];
  GetClassNameW(hwnd, cls, 64);
  if (pid != w->pid || wcscmp(cls, L"CONTAINER") != 0) return TRUE;
  w->container = hwnd;
  return FALSE;
}

void print_window(const wchar_t* name, HWND hwnd) {
  RECT r = {0, 0, 0, 0};
  GetWindowRect(hwnd, &r);
  wchar_t line[256];
  swprintf(line, 256, L"%ls %ld %ld %ld %ld 0x%08lx 0x%08lx %d %lu\n", name, r.left, r.top, r.right, r.bottom,
           (unsigned long)GetWindowLongW(hwnd, GWL_EXSTYLE), (unsigned long)GetWindowLongW(hwnd, GWL_STYLE),
           IsWindowVisible(hwnd) ? 1 : 0, (unsigned long)(uintptr_t)hwnd);
  print_utf8(line);
}

}  // namespace

// Replaces (or adds) resource TYPE/NAME/LANG of EXE with the bytes of DATAFILE;
// numbers are decimal or 0x hex. An empty DATAFILE deletes the resource.
DRIVER_COMMAND(update_resource, L"EXE TYPE NAME LANG DATAFILE") {
  if (argc < 5) return 2;
  std::vector<char> data;
  if (!read_whole_file(argv[4], &data)) return 1;
  HANDLE update = BeginUpdateResourceW(argv[0], FALSE);
  if (!update) return 1;
  WORD type = static_cast<WORD>(wcstoul(argv[1], nullptr, 0)), name = static_cast<WORD>(wcstoul(argv[2], nullptr, 0));
  WORD lang = static_cast<WORD>(wcstoul(argv[3], nullptr, 0));
  BOOL ok = UpdateResourceW(update, MAKEINTRESOURCEW(type), MAKEINTRESOURCEW(name), lang,
                            data.empty() ? nullptr : data.data(), static_cast<DWORD>(data.size()));
  if (!EndUpdateResourceW(update, !ok)) return 1;
  return ok ? 0 : 1;
}

// Prints the state of a note from its input window, one line each:
//   input|container|edit LEFT TOP RIGHT BOTTOM EXSTYLE STYLE VISIBLE HWND
//   layered ALPHA FLAGS      (the input window's layered attributes)
//   below 1|0                (the container lies directly below the input window)
//   text TEXT                (the edit control's text, last)
DRIVER_COMMAND(note_windows, L"INPUT_HWND") {
  if (argc < 1) return 2;
  HWND input = parse_hwnd(argv[0]);
  if (!IsWindow(input)) return 1;
  NoteWindows w = {0, nullptr};
  GetWindowThreadProcessId(input, &w.pid);
  EnumWindows(find_container, reinterpret_cast<LPARAM>(&w));
  print_window(L"input", input);
  HWND edit = w.container ? GetDlgItem(w.container, 1) : nullptr;
  if (w.container) print_window(L"container", w.container);
  if (edit) print_window(L"edit", edit);
  BYTE alpha = 0;
  DWORD flags = 0;
  COLORREF key = 0;
  GetLayeredWindowAttributes(input, &key, &alpha, &flags);
  wchar_t line[128];
  swprintf(line, 128, L"layered %u %lu\nbelow %d\n", alpha, (unsigned long)flags,
           w.container && GetWindow(input, GW_HWNDNEXT) == w.container ? 1 : 0);
  print_utf8(line);
  if (edit) {
    wchar_t text[2048] = L"";
    SendMessageTimeoutW(edit, WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, nullptr);
    print_utf8(std::wstring(L"text ") + text);
  }
  return 0;
}

// Prints "x y" of the mouse cursor as Windows programs see it.
DRIVER_COMMAND(cursor, L"") {
  POINT p;
  if (!GetCursorPos(&p)) return 1;
  wchar_t out[64];
  swprintf(out, 64, L"%ld %ld\n", p.x, p.y);
  print_utf8(out);
  return 0;
}

namespace {

void pump_messages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

BOOL CALLBACK print_monitor(HMONITOR monitor, HDC, LPRECT, LPARAM) {
  MONITORINFO info;
  info.cbSize = sizeof info;
  if (!GetMonitorInfoW(monitor, &info)) return TRUE;
  const RECT& r = info.rcMonitor;
  wchar_t line[128];
  swprintf(line, 128, L"%ld %ld %ld %ld %d\n", r.left, r.top, r.right, r.bottom,
           (info.dwFlags & MONITORINFOF_PRIMARY) ? 1 : 0);
  print_utf8(line);
  return TRUE;
}

}  // namespace

// Moves the mouse cursor to X Y; fails when it did not get there within
// five seconds. Wine moves the X pointer only for a thread that has a window
// of its own, so a small window is shown meanwhile.
DRIVER_COMMAND(set_cursor, L"X Y") {
  if (argc < 2) return 2;
  POINT to = {wcstol(argv[0], nullptr, 10), wcstol(argv[1], nullptr, 10)};
  HWND own = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 8, 8, nullptr,
                             nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!own) return 1;
  bool there = false;
  for (DWORD start = GetTickCount(); !there && GetTickCount() - start < 5000;) {
    pump_messages();
    SetCursorPos(to.x, to.y);
    Sleep(50);
    POINT p;
    there = GetCursorPos(&p) && p.x == to.x && p.y == to.y;
  }
  DestroyWindow(own);
  pump_messages();
  return there ? 0 : 1;
}

// Prints "left top right bottom primary" of each monitor, one line each.
DRIVER_COMMAND(monitors, L"") {
  return EnumDisplayMonitors(nullptr, nullptr, print_monitor, 0) ? 0 : 1;
}
