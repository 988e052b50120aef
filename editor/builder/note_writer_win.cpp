// Output of a note: template copy, resource update, then the editor's state.
#include "editor/builder/note_writer_win.h"
#include <shlobj.h>
#include "common/note_name_codec.h"
#include "common/note_name_codec_win.h"
#include "common/note_settings_table.h"
#include "common/text16.h"
#include "editor/builder/icon_composer_win.h"
#include "editor/builder/note_texts.h"
#include "editor/editor_ids.h"
#include "editor/editor_state_win.h"
#include "editor/settings_store_win.h"

namespace {

const WORD NEUTRAL = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);

const char16_t* U(const wchar_t* s) { return reinterpret_cast<const char16_t*>(s); }

void warn(HWND main_window, const wchar_t* text) {
  MessageBoxW(main_window, text, L"エラー", MB_OK | MB_ICONWARNING);
}

bool desktop_folder(wchar_t* folder) {
  LPITEMIDLIST items = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOPDIRECTORY, &items)) || !items)
    return false;
  BOOL found = SHGetPathFromIDListW(items, folder);
  CoTaskMemFree(items);
  return found && folder[0];
}

void confirm_escapes(HWND main_window, const EscapeCounts& counts) {
  char16_t message[ESCAPE_MESSAGE_UNITS];
  format_escape_message(counts, message, ESCAPE_MESSAGE_UNITS);
  MessageBoxW(main_window, reinterpret_cast<const wchar_t*>(message), L"確認", MB_OK);
}

// The note template copied into a heap buffer (HeapFree by the caller), or null.
uint8_t* copy_note_template(HINSTANCE instance, DWORD* size) {
  HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(IDR_NOTE_TEMPLATE), L"VEMTO");
  if (!found) return nullptr;
  HGLOBAL loaded = LoadResource(instance, found);
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  *size = SizeofResource(instance, found);
  if (!bytes || *size == 0) return nullptr;
  uint8_t* copy = static_cast<uint8_t*>(HeapAlloc(GetProcessHeap(), 0, *size));
  if (copy) CopyMemory(copy, bytes, *size);
  return copy;
}

// Writes the template copy to path, replacing any file there. Frees copy.
// False after the message; a short write leaves no half program behind.
bool write_note_copy(HWND main_window, const wchar_t* path, uint8_t* copy, DWORD size) {
  HANDLE file = CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    HeapFree(GetProcessHeap(), 0, copy);
    warn(main_window, L"ファイルの作成に失敗しました");
    return false;
  }
  DWORD written = 0;
  bool whole = WriteFile(file, copy, size, &written, nullptr) && written == size;
  CloseHandle(file);
  HeapFree(GetProcessHeap(), 0, copy);
  if (whole) return true;
  DeleteFileW(path);
  warn(main_window, L"ファイルの書き込みに失敗しました");
  return false;
}

// The icon group, icon image and settings table into an update begun on the
// copy; false when one of them was refused (the caller discards the update).
bool update_note_resources(HWND main_window, HANDLE update) {
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(main_window, GWLP_HINSTANCE));
  uint8_t group[ICON_GROUP_BYTES];
  uint8_t* image = nullptr;
  if (!compose_note_icon(main_window, instance, g_settings.note, group, &image)) return false;
  if (!UpdateResourceW(update, RT_GROUP_ICON, MAKEINTRESOURCEW(ICON_GROUP_ID), NEUTRAL, group,
                       ICON_GROUP_BYTES)) {
    free_icon_image(image);
    return false;
  }
  BOOL icon_done = UpdateResourceW(update, RT_ICON, MAKEINTRESOURCEW(ICON_GROUP_ID), NEUTRAL,
                                   image, icon_group_byte_count(group));
  free_icon_image(image);
  if (!icon_done) return false;
  RECT client;
  GetClientRect(main_window, &client);
  uint8_t table[NOTE_SETTINGS_TABLE_BYTES];
  size_t bytes = encode_note_settings(g_settings.note, client.right, client.bottom, table);
  return UpdateResourceW(update, RT_STRING, MAKEINTRESOURCEW(1), NEUTRAL, table,
                         static_cast<DWORD>(bytes));
}

bool write_note_resources(HWND main_window, const wchar_t* path) {
  HANDLE update = BeginUpdateResourceW(path, FALSE);
  bool done = update && update_note_resources(main_window, update);
  if (update && !done) EndUpdateResourceW(update, TRUE);
  if (done) done = EndUpdateResourceW(update, FALSE);
  if (!done) warn(main_window, L"リソースの更新処理に失敗しました");
  return done;
}

}  // namespace

bool build_note_path(HWND main_window, bool confirm, wchar_t* path) {
  wchar_t desktop[PATH_UNITS] = {};
  path[0] = 0;
  if (!desktop_folder(desktop)) {
    warn(main_window, L"デスクトップフォルダの取得に失敗しました");
    return false;
  }
  wchar_t text[NOTE_TEXT_UNITS] = {};
  GetDlgItemTextW(main_window, IDC_NOTE_EDIT, text, NOTE_TEXT_UNITS);
  char16_t name[NOTE_TEXT_UNITS];
  EscapeCounts counts;
  bool escaped = escape_note_text(U(text), name, &counts);
  if (confirm && g_settings.escape_message && escaped) confirm_escapes(main_window, counts);
  format_note_path(U(desktop), name, reinterpret_cast<char16_t*>(path), NOTE_PATH_UNITS);
  return true;
}

void output_note(HWND main_window, bool quit) {
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(main_window, GWLP_HINSTANCE));
  DWORD size = 0;
  uint8_t* copy = copy_note_template(instance, &size);
  if (!copy) {
    warn(main_window, L"付箋テンプレートの読み込みに失敗しました");
    return;
  }
  wchar_t path[NOTE_PATH_UNITS];
  if (!build_note_path(main_window, true, path)) {
    HeapFree(GetProcessHeap(), 0, copy);
    return;
  }
  if (!write_note_copy(main_window, path, copy, size)) return;
  if (!write_note_resources(main_window, path)) return;
  if (quit) PostMessageW(main_window, WM_CLOSE, 0, 0);
  adopt_note_path(main_window, path, NOTE_PATH_UNITS);
}

void reflect_corrections(HWND main_window, bool quit) {
  if (!g_editor.current_note_path[0]) return;
  wchar_t path[NOTE_PATH_UNITS];
  if (!build_note_path(main_window, false, path)) return;
  MoveFileW(g_editor.current_note_path, path);  // when it fails, output still writes the new path
  output_note(main_window, quit);
}

void adopt_note_path(HWND main_window, const wchar_t* path, size_t title_units) {
  lstrcpynW(g_editor.current_note_path, path, NOTE_PATH_UNITS);
  char16_t title[NOTE_PATH_UNITS];
  if (title_units > NOTE_PATH_UNITS) title_units = NOTE_PATH_UNITS;
  format_editor_title(U(path), title, title_units, WIN32_STEPPER);
  SetWindowTextW(main_window, reinterpret_cast<const wchar_t*>(title));
  HMENU menu = GetMenu(main_window);
  EnableMenuItem(menu, CMD_REFLECT_CORRECTIONS, MF_BYCOMMAND | MF_ENABLED);
  EnableMenuItem(menu, CMD_REFLECT_AND_QUIT, MF_BYCOMMAND | MF_ENABLED);
}
