// Profile-function side of the settings store: the file's path, and reading
// and writing keys with GetPrivateProfile*W / WritePrivateProfileStringW.
#include "editor/settings_store_win.h"
#include <cwchar>
#include "common/text16.h"
#include "editor/window_size_win.h"

EditorSettings g_settings;

namespace {

const wchar_t* W(const char16_t* s) { return reinterpret_cast<const wchar_t*>(s); }

const wchar_t* profile_path(void* context) { return static_cast<const wchar_t*>(context); }

int32_t profile_read_int(void* context, const char16_t* section, const char16_t* key, int32_t def) {
  return static_cast<int32_t>(GetPrivateProfileIntW(W(section), W(key), def, profile_path(context)));
}

void profile_read_text(void* context, const char16_t* section, const char16_t* key,
                       const char16_t* def, char16_t* buf, size_t cap) {
  GetPrivateProfileStringW(W(section), W(key), W(def), reinterpret_cast<wchar_t*>(buf),
                           static_cast<DWORD>(cap), profile_path(context));
}

// The profile functions would write a new or empty file in the ANSI code
// page, which turns the default face name into question marks on a
// non-Japanese system; such a file gets the UTF-16 byte-order mark first.
void create_unicode_file_if_missing(const wchar_t* path) {
  HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;  // cannot be written: the write itself reports it
  LARGE_INTEGER size;
  if (GetFileSizeEx(file, &size) && size.QuadPart == 0) {
    static const BYTE BOM[2] = {0xFF, 0xFE};
    DWORD written = 0;
    WriteFile(file, BOM, sizeof BOM, &written, nullptr);
  }
  CloseHandle(file);
}

bool profile_write_text(void* context, const char16_t* section, const char16_t* key, const char16_t* value) {
  create_unicode_file_if_missing(profile_path(context));
  return WritePrivateProfileStringW(W(section), W(key), W(value), profile_path(context)) != FALSE;
}

}  // namespace

ProfileAccess profile_for_file(const wchar_t* path) {
  return ProfileAccess{const_cast<wchar_t*>(path), profile_read_int, profile_read_text, profile_write_text};
}

ProfileAccess settings_profile() {
  return profile_for_file(reinterpret_cast<const wchar_t*>(g_settings.settings_path));
}

bool editor_folder(wchar_t* buf, size_t cap) {
  wchar_t path[2048];
  DWORD n = GetModuleFileNameW(nullptr, path, 2048);
  if (n == 0 || n >= 2048) return false;
  // Drive and directory: everything up to and including the last separator.
  size_t end = 0;
  for (size_t i = 0; i < n; ++i)
    if (path[i] == L'\\' || path[i] == L'/') end = i + 1;
  if (end == 0 || end + 1 > cap) return false;
  wmemcpy(buf, path, end);
  buf[end] = 0;
  return true;
}

void load_editor_settings() {
  set_default_editor_settings(&g_settings);
  wchar_t folder[PATH_UNITS];
  wchar_t user[PATH_UNITS];
  DWORD user_units = PATH_UNITS;
  bool have_folder = editor_folder(folder, PATH_UNITS);
  bool have_user = GetUserNameW(user, &user_units) != FALSE;
  compose_settings_path(have_folder ? reinterpret_cast<char16_t*>(folder) : nullptr,
                        have_user ? reinterpret_cast<char16_t*>(user) : nullptr, g_settings.settings_path);
  load_settings_from(settings_profile(), &g_settings);
}

void save_window_size(HWND window) {
  if (!IsWindow(window)) return;
  int width = 0, height = 0;
  stored_window_size(window, &width, &height);
  wchar_t text[24];
  const wchar_t* path = reinterpret_cast<const wchar_t*>(g_settings.settings_path);
  create_unicode_file_if_missing(path);
  swprintf(text, 24, L"%d", width);
  WritePrivateProfileStringW(L"WINDOW", L"WIDTH", text, path);
  swprintf(text, 24, L"%d", height);
  WritePrivateProfileStringW(L"WINDOW", L"HEIGHT", text, path);
}

void save_palettes() { save_palettes_to(settings_profile(), g_settings); }

bool save_editor_settings(HWND owner) {
  if (save_note_settings_to(settings_profile(), g_settings.note)) return true;
  wchar_t message[PATH_UNITS + 64];
  swprintf(message, PATH_UNITS + 64, L"設定ファイルの書き込みに失敗しました\n\n%ls",
           reinterpret_cast<const wchar_t*>(g_settings.settings_path));
  MessageBoxW(owner, message, L"エラー", MB_OK | MB_ICONWARNING);
  return false;
}
