// Driver commands for notes: read what a note file carries (its settings
// table and icon resources) and start a program with an exact command line.
#include "driver.h"
#include <cwchar>
#include <string>

namespace {

void print_hex(const wchar_t* label, const void* data, DWORD size) {
  std::wstring line = label;
  wchar_t byte[4];
  for (DWORD i = 0; i < size; ++i) {
    swprintf(byte, 4, L"%02x", static_cast<const unsigned char*>(data)[i]);
    line += byte;
  }
  print_utf8(line + L"\n");
}

// Prints resource id of type as hex after label, or label and "none".
void print_resource(HMODULE module, const wchar_t* label, LPCWSTR type, int id) {
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), type);
  HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes) {
    print_utf8(std::wstring(label) + L"none\n");
    return;
  }
  print_hex(label, bytes, SizeofResource(module, found));
}

}  // namespace

// Prints what a note file carries (PATH taken as it is, backslashes
// included), mapped as image resources: one line
// "entry N<TAB>text" per settings table entry 0 to 13 (line breaks as \n),
// then "table HEX" (the whole string block 1), "group HEX", "icon2 HEX" and
// "icon1 HEX" ("none" when absent). Entries 14 and 15 are not asked for: a
// block of 14 entries ends before them.
DRIVER_COMMAND(noteres, L"PATH") {
  if (argc < 1) return 2;
  HMODULE module = LoadLibraryExW(argv[0], nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (!module) return 1;
  for (int id = 0; id < 14; ++id) {
    wchar_t text[2048] = L"";
    LoadStringW(module, id, text, 2048);
    std::wstring shown;
    for (const wchar_t* p = text; *p; ++p) shown += *p == L'\n' ? std::wstring(L"\\n") : std::wstring(1, *p);
    wchar_t head[32];
    swprintf(head, 32, L"entry %d\t", id);
    print_utf8(head + shown + L"\n");
  }
  print_resource(module, L"table ", RT_STRING, 1);
  print_resource(module, L"group ", RT_GROUP_ICON, 2);
  print_resource(module, L"icon2 ", RT_ICON, 2);
  print_resource(module, L"icon1 ", RT_ICON, 1);
  FreeLibrary(module);
  return 0;
}

// Sets the text of the edit box inside control ID (a combo box, or a combo
// box inside a ComboBoxEx, as the file dialogs' file name field is).
DRIVER_COMMAND(setinnertext, L"HWND ID TEXT") {
  if (argc < 3) return 2;
  HWND edit = GetDlgItem(parse_hwnd(argv[0]), static_cast<int>(wcstol(argv[1], nullptr, 0)));
  for (int depth = 0; edit && depth < 3; ++depth) {
    wchar_t cls[32];
    GetClassNameW(edit, cls, 32);
    if (lstrcmpiW(cls, L"Edit") == 0) break;
    HWND inner = FindWindowExW(edit, nullptr, L"ComboBox", nullptr);
    edit = inner ? inner : FindWindowExW(edit, nullptr, L"Edit", nullptr);
  }
  if (!edit) return 1;
  DWORD_PTR ignored;
  return SendMessageTimeoutW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[2]), SMTO_ABORTIFHUNG, 5000,
                             &ignored)
             ? 0
             : 1;
}

// Starts a program with exactly the given command line (no quoting added)
// and prints its process id; does not wait for it.
DRIVER_COMMAND(launch, L"COMMAND_LINE") {
  if (argc < 1) return 2;
  std::wstring line = argv[0];
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    wchar_t error[48];
    swprintf(error, 48, L"CreateProcessW error %lu\n", GetLastError());
    print_utf8(error);
    return 1;
  }
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  wchar_t out[32];
  swprintf(out, 32, L"%lu\n", pi.dwProcessId);
  print_utf8(out);
  return 0;
}
