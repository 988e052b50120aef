// Driver commands for the hardening tests: whether a window still answers,
// message boxes with their owner and buttons, the GDI objects and memory of
// a process, and long scripted editing sessions run from inside one driver
// process (hundreds of chooser answers would cost a Wine start each otherwise).
#include "driver.h"
#include <commctrl.h>
#include <psapi.h>
#include <cstdarg>
#include <cstdint>
#include <cwchar>
#include <string>
#include <vector>

namespace {

const UINT SESSION_WAIT_MS = 15000;

int print_format(const wchar_t* format, ...) {
  wchar_t out[1024];
  va_list args;
  va_start(args, format);
  vswprintf(out, 1024, format, args);
  va_end(args);
  print_utf8(out);
  return 0;
}

// --- GDI objects -------------------------------------------------------------
// Wine answers GetGuiResources with 0 (not implemented), so the objects are
// counted in the process's GDI handle table instead: the table that the PEB
// points at, one 24-byte cell per handle whose type byte (offset 14) is 0
// when the cell is free. The counts per type tell which kind of object leaks.
typedef LONG(WINAPI* QueryProcessFn)(HANDLE, int, void*, ULONG, ULONG*);
struct BasicProcessInformation {
  void* exit_status;
  void* peb;
  void* affinity;
  void* priority;
  ULONG_PTR pid;
  void* parent;
};
const size_t GDI_CELLS = 0x10000, GDI_CELL_BYTES = 24, GDI_TYPE_OFFSET = 14;
const size_t PEB_GDI_TABLE = sizeof(void*) == 8 ? 0xF8 : 0x94;

bool read_remote(HANDLE process, const void* address, void* out, size_t bytes) {
  SIZE_T got = 0;
  return ReadProcessMemory(process, address, out, bytes, &got) && got == bytes;
}

// Cells in use per type byte; false when the table cannot be read.
bool count_gdi_cells(HANDLE process, unsigned counts[256]) {
  auto query = reinterpret_cast<QueryProcessFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
  BasicProcessInformation info = {};
  ULONG got = 0;
  if (!query || query(process, 0, &info, sizeof info, &got) != 0 || !info.peb) return false;
  const uint8_t* table = nullptr;
  if (!read_remote(process, static_cast<uint8_t*>(info.peb) + PEB_GDI_TABLE, &table, sizeof table) || !table)
    return false;
  std::vector<uint8_t> cells(GDI_CELLS * GDI_CELL_BYTES);
  if (!read_remote(process, table, cells.data(), cells.size())) return false;
  for (size_t i = 0; i < GDI_CELLS; ++i) ++counts[cells[i * GDI_CELL_BYTES + GDI_TYPE_OFFSET]];
  counts[0] = 0;
  return true;
}

struct WindowCount {
  DWORD pid;
  unsigned count;
};

BOOL CALLBACK count_child(HWND, LPARAM lp) {
  ++reinterpret_cast<WindowCount*>(lp)->count;
  return TRUE;
}

BOOL CALLBACK count_top(HWND hwnd, LPARAM lp) {
  WindowCount* w = reinterpret_cast<WindowCount*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid != w->pid) return TRUE;
  ++w->count;
  EnumChildWindows(hwnd, count_child, lp);
  return TRUE;
}

// --- message boxes and dialogs ---------------------------------------------------
struct OwnedDialog {
  HWND owner;
  const wchar_t* title;  // exact title, or null for any
  HWND found;
};

BOOL CALLBACK match_owned_dialog(HWND hwnd, LPARAM lp) {
  OwnedDialog* d = reinterpret_cast<OwnedDialog*>(lp);
  wchar_t cls[32], title[256];
  GetClassNameW(hwnd, cls, 32);
  GetWindowTextW(hwnd, title, 256);
  if (wcscmp(cls, L"#32770") != 0 || !IsWindowVisible(hwnd)) return TRUE;
  if (d->owner && GetWindow(hwnd, GW_OWNER) != d->owner) return TRUE;
  if (d->title && wcscmp(title, d->title) != 0) return TRUE;
  d->found = hwnd;
  return FALSE;
}

// The visible dialog owned by owner (any owner when null) with that exact
// title (any when null), waiting up to timeout_ms.
HWND wait_owned_dialog(HWND owner, const wchar_t* title, DWORD timeout_ms) {
  DWORD start = GetTickCount();
  for (;;) {
    OwnedDialog d = {owner, title, nullptr};
    EnumWindows(match_owned_dialog, reinterpret_cast<LPARAM>(&d));
    if (d.found || GetTickCount() - start >= timeout_ms) return d.found;
    Sleep(30);
  }
}

bool wait_destroyed(HWND hwnd, DWORD timeout_ms) {
  DWORD start = GetTickCount();
  while (IsWindow(hwnd)) {
    if (GetTickCount() - start >= timeout_ms) return false;
    Sleep(20);
  }
  return true;
}

BOOL CALLBACK list_button(HWND child, LPARAM lp) {
  wchar_t cls[32];
  GetClassNameW(child, cls, 32);
  if (lstrcmpiW(cls, L"Button") == 0 && IsWindowVisible(child)) {
    wchar_t id[16];
    swprintf(id, 16, L" %d", GetDlgCtrlID(child));
    *reinterpret_cast<std::wstring*>(lp) += id;
  }
  return TRUE;
}

std::wstring window_text(HWND hwnd) {
  wchar_t buf[4096] = L"";
  DWORD_PTR ignored;
  SendMessageTimeoutW(hwnd, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 5000, &ignored);
  return buf;
}

// Presses a dialog's button and waits until the dialog is gone; a press that
// comes while a common dialog is still setting itself up can be lost.
bool press_until_closed(HWND dialog, int button) {
  for (int attempt = 0; attempt < 5; ++attempt) {
    PostMessageW(GetDlgItem(dialog, button), BM_CLICK, 0, 0);
    if (wait_destroyed(dialog, 3000)) return true;
  }
  return false;
}

// --- session steps ------------------------------------------------------------------
// Each step acts on the editor's main window as a user would and returns
// false when the editor did not react as expected in time.
bool send_command(HWND editor, int id) {
  DWORD_PTR ignored;
  return SendMessageTimeoutW(editor, WM_COMMAND, id, 0, SMTO_ABORTIFHUNG, SESSION_WAIT_MS, &ignored) != 0;
}

bool choose_colour(HWND editor, int command, int i) {
  PostMessageW(editor, WM_COMMAND, command, 0);
  HWND chooser = wait_owned_dialog(editor, nullptr, SESSION_WAIT_MS);
  if (!chooser) return false;
  PostMessageW(GetDlgItem(chooser, 719), BM_CLICK, 0, 0);  // Define Custom Colors >>
  Sleep(50);
  int rgb[3] = {(i * 37) & 0xFF, (i * 91 + 40) & 0xFF, (i * 53 + 200) & 0xFF};
  for (int k = 0; k < 3; ++k) {
    wchar_t number[8];
    swprintf(number, 8, L"%d", rgb[k]);
    SendMessageW(GetDlgItem(chooser, 706 + k), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(number));
  }
  return press_until_closed(chooser, IDOK);
}

// Picks entry i (modulo the list) of a combo box and tells the dialog.
void pick_combo(HWND dialog, int id, int i) {
  HWND combo = GetDlgItem(dialog, id);
  LRESULT n = SendMessageW(combo, CB_GETCOUNT, 0, 0);
  if (n <= 0) return;
  SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(i % n), 0);
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

bool choose_font(HWND editor, int i) {
  PostMessageW(editor, WM_COMMAND, 1004, 0);
  HWND chooser = wait_owned_dialog(editor, nullptr, SESSION_WAIT_MS);
  if (!chooser) return false;
  pick_combo(chooser, 1136, i * 7);  // face
  pick_combo(chooser, 1137, i);      // style
  pick_combo(chooser, 1138, i * 3);  // size
  return press_until_closed(chooser, IDOK);
}

bool load_style(HWND editor, int i) { return send_command(editor, 1012 + i % 9); }

// Output with a fresh text each time; done when the title names the note.
bool output(HWND editor, int i) {
  wchar_t text[64], title[128];
  swprintf(text, 64, L"Session note %d", i % 5);
  SetDlgItemTextW(editor, 1, text);
  if (!send_command(editor, 1000)) return false;
  swprintf(title, 128, L"Tessark - %ls.exe", text);
  return window_text(editor) == title;
}

// Reopens one of the paths ("A|B": step i takes path i % 2) through the
// open dialog; done when the title names the chosen note and the text,
// emptied before, is the note's again.
bool reopen(HWND editor, const wchar_t* paths, int i) {
  std::wstring all = paths, path = all;
  size_t bar = all.find(L'|');
  if (bar != std::wstring::npos) path = i % 2 ? all.substr(bar + 1) : all.substr(0, bar);
  std::wstring file = path.substr(path.find_last_of(L'\\') + 1);
  std::wstring title = L"Tessark - " + file, text = file.substr(0, file.find_last_of(L'.'));
  SetDlgItemTextW(editor, 1, L"");  // the reopen must bring the note's text back
  PostMessageW(editor, WM_COMMAND, 1009, 0);
  HWND dialog = wait_owned_dialog(editor, nullptr, SESSION_WAIT_MS);
  HWND name = dialog ? GetDlgItem(dialog, 1148) : nullptr;
  for (int depth = 0; name && depth < 3; ++depth) {
    wchar_t cls[32];
    GetClassNameW(name, cls, 32);
    if (lstrcmpiW(cls, L"Edit") == 0) break;
    HWND inner = FindWindowExW(name, nullptr, L"ComboBox", nullptr);
    name = inner ? inner : FindWindowExW(name, nullptr, L"Edit", nullptr);
  }
  if (!name) return false;
  // The dialog fills its name field while it sets itself up; a text put in
  // before that is lost, so it goes in until it stays.
  for (int attempt = 0; window_text(name) != path; ++attempt) {
    if (attempt == 20) return false;
    Sleep(100);
    SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
  }
  Sleep(100);
  if (window_text(name) != path || !press_until_closed(dialog, IDOK)) return false;
  DWORD start = GetTickCount();
  while (window_text(editor) != title || window_text(GetDlgItem(editor, 1)) != text) {
    if (GetTickCount() - start >= SESSION_WAIT_MS) return false;
    Sleep(20);
  }
  return true;
}

bool run_step(HWND editor, const wchar_t* kind, int i, const wchar_t* argument) {
  if (wcscmp(kind, L"bgcolor") == 0) return choose_colour(editor, 1002, i);
  if (wcscmp(kind, L"textcolor") == 0) return choose_colour(editor, 1003, i);
  if (wcscmp(kind, L"font") == 0) return choose_font(editor, i);
  if (wcscmp(kind, L"style") == 0) return load_style(editor, i);
  if (wcscmp(kind, L"output") == 0) return output(editor, i);
  if (wcscmp(kind, L"reopen") == 0) return argument && reopen(editor, argument, i);
  return false;
}

}  // namespace

// Prints the id of the process that owns the window.
DRIVER_COMMAND(pid, L"HWND") {
  if (argc < 1) return 2;
  DWORD pid = 0;
  if (!GetWindowThreadProcessId(parse_hwnd(argv[0]), &pid)) return 1;
  return print_format(L"%lu\n", pid);
}

// Exit code 0 when the window's thread answers a message within TIMEOUT_MS
// (default 5000): the program is neither gone nor hung.
DRIVER_COMMAND(responds, L"HWND [TIMEOUT_MS]") {
  if (argc < 1) return 2;
  UINT timeout = argc > 1 ? wcstoul(argv[1], nullptr, 10) : 5000;
  DWORD_PTR ignored;
  HWND hwnd = parse_hwnd(argv[0]);
  return IsWindow(hwnd) && SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, timeout, &ignored) ? 0 : 1;
}

// Waits up to TIMEOUT_MS for a visible message box or dialog with exactly
// the title CAPTION ("-" for any) owned by OWNER ("0" for any), and prints:
//   hwnd N / owner N / buttons ID... (visible buttons) / text TEXT (last).
DRIVER_COMMAND(msgbox, L"CAPTION|- OWNER|0 [TIMEOUT_MS]") {
  if (argc < 2) return 2;
  std::wstring caption = unescape_arg(argv[0]);
  DWORD timeout = argc > 2 ? wcstoul(argv[2], nullptr, 10) : 10000;
  HWND box = wait_owned_dialog(parse_hwnd(argv[1]), caption == L"-" ? nullptr : caption.c_str(), timeout);
  if (!box) return 1;
  std::wstring buttons;
  EnumChildWindows(box, list_button, reinterpret_cast<LPARAM>(&buttons));
  print_format(L"hwnd %lu\nowner %lu\nbuttons%ls\n", (unsigned long)(uintptr_t)box,
               (unsigned long)(uintptr_t)GetWindow(box, GW_OWNER), buttons.c_str());
  HWND text = GetDlgItem(box, 0xFFFF);  // a message box's text control
  print_utf8(L"text " + (text ? window_text(text) : std::wstring()));
  return 0;
}

// Prints what process PID holds, one "name value" per line:
//   gdi N            GDI objects (GetGuiResources, or the handle table under Wine)
//   gdi_source gui|table
//   gdi_types T:N... counts per handle type byte (table only)
//   user N           USER objects, or -1 where GetGuiResources is not implemented
//   windows N        its top-level and child windows
//   private BYTES    committed private memory (PagefileUsage)
//   working_set BYTES
DRIVER_COMMAND(resources, L"PID") {
  if (argc < 1) return 2;
  DWORD pid = wcstoul(argv[0], nullptr, 10);
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
  if (!process) return 1;
  DWORD gdi = GetGuiResources(process, GR_GDIOBJECTS), user = GetGuiResources(process, GR_USEROBJECTS);
  unsigned counts[256] = {};
  std::wstring types;
  bool table = gdi == 0 && count_gdi_cells(process, counts);
  for (int t = 0; table && t < 256; ++t) {
    if (!counts[t]) continue;
    wchar_t part[24];
    swprintf(part, 24, L" %02x:%u", t, counts[t]);
    types += part;
    gdi += counts[t];
  }
  PROCESS_MEMORY_COUNTERS memory = {};
  memory.cb = sizeof memory;
  BOOL have_memory = GetProcessMemoryInfo(process, &memory, sizeof memory);
  CloseHandle(process);
  WindowCount windows = {pid, 0};
  EnumWindows(count_top, reinterpret_cast<LPARAM>(&windows));
  if (!have_memory || (gdi == 0 && !table)) return 1;
  return print_format(L"gdi %lu\ngdi_source %ls\ngdi_types%ls\nuser %ld\nwindows %u\nprivate %llu\nworking_set %llu\n",
                      gdi, table ? L"table" : L"gui", types.c_str(), user ? static_cast<long>(user) : -1L,
                      windows.count, static_cast<unsigned long long>(memory.PagefileUsage),
                      static_cast<unsigned long long>(memory.WorkingSetSize));
}

// Runs COUNT steps of one kind on the editor's main window, from step FIRST
// on (the step number varies the values chosen). Kinds: bgcolor, textcolor
// (the colour choosers, answered with a custom colour), font (the font
// chooser, answered with another face, style and size), style (loads slot
// 1 + step % 9), output (a note named "Session note <step % 5>"), reopen
// (the open dialog, answered with PATH, or with the paths of "A|B" in turn). Prints "done N" with the number
// of steps that completed; exit code 0 when all did.
DRIVER_COMMAND(session, L"HWND KIND FIRST COUNT [PATH]") {
  if (argc < 4) return 2;
  HWND editor = parse_hwnd(argv[0]);
  int first = static_cast<int>(wcstol(argv[2], nullptr, 10));
  int count = static_cast<int>(wcstol(argv[3], nullptr, 10));
  int done = 0;
  while (done < count && run_step(editor, argv[1], first + done, argc > 4 ? argv[4] : nullptr)) ++done;
  print_format(L"done %d\n", done);
  return done == count ? 0 : 1;
}
