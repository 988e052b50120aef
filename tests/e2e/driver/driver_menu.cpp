// Driver command that reads the menu bar of a window in another process.
// Another process's menu cannot be read under Wine, so menu_hook.dll is
// hooked into the window's thread and writes the menu into shared memory.
#include "driver.h"
#include <string>

namespace {
const wchar_t DUMP_NAME[] = L"TessarkDriverMenuDump";
const DWORD DUMP_BYTES = 1 << 20;

std::wstring hook_path() {
  wchar_t path[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring dir(path, n);
  return dir.substr(0, dir.find_last_of(L'\\') + 1) + L"menu_hook.dll";
}
}  // namespace

// Prints one line per menu item: "depth<TAB>id<TAB>flags<TAB>text", where
// id is -1 for a sub-menu and flags are letters: g grey, c checked, s
// separator, p sub-menu. Then "class_background null" or
// "class_background solid RRGGBB" of the window's class. Then, for a window
// with a font (WM_GETFONT), "font HEIGHT WIDTH WEIGHT ITALIC CHARSET
// OUTPRECISION CLIPPRECISION QUALITY PITCHANDFAMILY<TAB>FACE" as the font
// was requested. Then "current_directory PATH" of the window's process.
DRIVER_COMMAND(menu, L"HWND") {
  if (argc < 1) return 2;
  HWND hwnd = parse_hwnd(argv[0]);
  DWORD thread = GetWindowThreadProcessId(hwnd, nullptr);
  if (!thread) return 1;
  HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, DUMP_BYTES, DUMP_NAME);
  if (!mapping) return 1;
  wchar_t* dump = static_cast<wchar_t*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, DUMP_BYTES));
  dump[0] = 0;
  HMODULE dll = LoadLibraryW(hook_path().c_str());
  HOOKPROC proc = dll ? reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(dll, "menu_hook_proc"))) : nullptr;
  HHOOK hook = proc ? SetWindowsHookExW(WH_CALLWNDPROC, proc, dll, thread) : nullptr;
  int rc = 1;
  if (hook) {
    DWORD_PTR ignored;
    SendMessageTimeoutW(hwnd, RegisterWindowMessageW(DUMP_NAME), 0, 0, SMTO_ABORTIFHUNG, 10000, &ignored);
    UnhookWindowsHookEx(hook);
    if (dump[0]) {
      print_utf8(dump);
      rc = 0;
    }
  }
  UnmapViewOfFile(dump);
  CloseHandle(mapping);
  return rc;
}
