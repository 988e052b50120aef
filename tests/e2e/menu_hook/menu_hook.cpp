// menu_hook.dll: hooked into a window's thread by the end-to-end driver and
// by the Win32 start-up test (the Windows test bundle carries it), it writes
// that window's menu bar, class background and font request and the
// process's current directory into shared memory, because none of them can
// be read from another process under Wine.
#include <windows.h>
#include <cwchar>
#include <string>

namespace {
const wchar_t DUMP_NAME[] = L"TessarkDriverMenuDump";
const DWORD DUMP_BYTES = 1 << 20;

void dump_menu(HMENU menu, int depth, std::wstring& out) {
  int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    wchar_t text[1100] = L"";
    MENUITEMINFOW item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
    item.dwTypeData = text;
    item.cch = 1100;
    if (!GetMenuItemInfoW(menu, i, TRUE, &item)) continue;
    std::wstring flags;
    if (item.fState & MFS_GRAYED) flags += L'g';
    if (item.fState & MFS_CHECKED) flags += L'c';
    if (item.fType & MFT_SEPARATOR) flags += L's';
    if (item.hSubMenu) flags += L'p';
    wchar_t head[64];
    swprintf(head, 64, L"%d\t%d\t", depth, item.hSubMenu ? -1 : static_cast<int>(item.wID));
    std::wstring escaped;
    for (const wchar_t* p = text; *p; ++p) escaped += *p == L'\t' ? std::wstring(L"\\t") : std::wstring(1, *p);
    out += head + flags + L"\t" + escaped + L"\n";
    if (item.hSubMenu) dump_menu(item.hSubMenu, depth + 1, out);
  }
}

void dump_class_background(HWND hwnd, std::wstring& out) {
  HBRUSH brush = reinterpret_cast<HBRUSH>(GetClassLongPtrW(hwnd, GCLP_HBRBACKGROUND));
  LOGBRUSH lb = {};
  if (!brush || !GetObjectW(brush, sizeof lb, &lb) || lb.lbStyle == BS_NULL) {
    out += L"class_background null\n";
    return;
  }
  wchar_t line[64];
  swprintf(line, 64, L"class_background solid %02X%02X%02X\n", GetRValue(lb.lbColor), GetGValue(lb.lbColor),
           GetBValue(lb.lbColor));
  out += line;
}

// The LOGFONT the window's font was asked for (GetObjectW gives the request,
// not the face the mapper chose); nothing for a window without a font.
void dump_font(HWND hwnd, std::wstring& out) {
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0));
  LOGFONTW lf = {};
  if (!font || !GetObjectW(font, sizeof lf, &lf)) return;
  wchar_t line[160];
  swprintf(line, 160, L"font %ld %ld %ld %u %u %u %u %u %u\t%ls\n", lf.lfHeight, lf.lfWidth, lf.lfWeight,
           lf.lfItalic, lf.lfCharSet, lf.lfOutPrecision, lf.lfClipPrecision, lf.lfQuality, lf.lfPitchAndFamily,
           lf.lfFaceName);
  out += line;
}

// The folder the program works in, which its file choosers must leave alone.
void dump_current_directory(std::wstring& out) {
  wchar_t dir[2 * MAX_PATH] = L"";
  GetCurrentDirectoryW(2 * MAX_PATH, dir);
  out += std::wstring(L"current_directory ") + dir + L"\n";
}

void write_dump(HWND hwnd) {
  std::wstring out;
  // A child window's menu handle is its control id.
  if (HMENU menu = (GetWindowLongW(hwnd, GWL_STYLE) & WS_CHILD) ? nullptr : GetMenu(hwnd)) dump_menu(menu, 0, out);
  dump_class_background(hwnd, out);
  dump_font(hwnd, out);
  dump_current_directory(out);
  HANDLE mapping = OpenFileMappingW(FILE_MAP_WRITE, FALSE, DUMP_NAME);
  if (!mapping) return;
  if (wchar_t* view = static_cast<wchar_t*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, DUMP_BYTES))) {
    size_t n = out.size() < DUMP_BYTES / 2 - 1 ? out.size() : DUMP_BYTES / 2 - 1;
    wmemcpy(view, out.c_str(), n);
    view[n] = 0;
    UnmapViewOfFile(view);
  }
  CloseHandle(mapping);
}
}  // namespace

extern "C" LRESULT CALLBACK menu_hook_proc(int code, WPARAM wparam, LPARAM lparam) {
  static const UINT dump_message = RegisterWindowMessageW(DUMP_NAME);
  const CWPSTRUCT* msg = reinterpret_cast<const CWPSTRUCT*>(lparam);
  if (code == HC_ACTION && msg->message == dump_message) write_dump(msg->hwnd);
  return CallNextHookEx(nullptr, code, wparam, lparam);
}
