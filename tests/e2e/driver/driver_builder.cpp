// Driver commands for notes: read what a note file carries (its settings
// table and icon resources) and drop files on a window as the shell does.
#include "driver.h"
#include <shlobj.h>
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

// Posts WM_DROPFILES with the given paths to the window, as a drop from the
// shell delivers it (the drop point is the client origin).
DRIVER_COMMAND(dropfiles, L"HWND PATH...") {
  if (argc < 2) return 2;
  std::wstring list;
  for (int i = 1; i < argc; ++i) list += std::wstring(argv[i]) + L'\0';
  list += L'\0';
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + list.size() * sizeof(wchar_t));
  DROPFILES* drop = static_cast<DROPFILES*>(GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = TRUE;
  memcpy(drop + 1, list.data(), list.size() * sizeof(wchar_t));
  GlobalUnlock(memory);
  return PostMessageW(parse_hwnd(argv[0]), WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0) ? 0 : 1;
}
