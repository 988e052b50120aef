// Output of a note: template copy and resource update in a file of its own,
// which then takes the note's place; then the editor's state.
#include "editor/builder/note_writer_win.h"
#include <shlobj.h>
#include <cwchar>
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

// Another program (a virus scanner, a sync client) may hold a fresh file for
// a moment; such a refusal is tried again a few times before it counts.
const int BUSY_TRIES = 5;
const DWORD BUSY_PAUSE_MS = 200;

bool busy(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
         error == ERROR_ACCESS_DENIED;
}

// True, after the create-failure message, when path cannot take a note: no
// path, a name Windows keeps for a device, or something there that is not a
// disk file. Checked before anything is written, so no byte goes to a device.
bool destination_refused(HWND main_window, const wchar_t* path) {
  bool refused = !path[0] || is_reserved_device_name(U(path_file_name_win(path)));
  if (!refused) {
    HANDLE file = CreateFileW(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      refused = GetFileType(file) != FILE_TYPE_DISK;
      CloseHandle(file);
    }
  }
  if (refused) warn(main_window, L"ファイルの作成に失敗しました");
  return refused;
}

// A new file in the folder of path, where the note is built before it takes
// the place of path; its name into temp (NOTE_PATH_UNITS units).
HANDLE create_temp_beside(const wchar_t* path, wchar_t* temp) {
  int folder = static_cast<int>(path_file_name_win(path) - path);
  for (unsigned n = 0; n < 100; ++n) {
    swprintf(temp, NOTE_PATH_UNITS, L"%.*ls~tessark-%lu-%u.tmp", folder, path,
             static_cast<unsigned long>(GetCurrentProcessId()), n);
    HANDLE file = CreateFileW(temp, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  return INVALID_HANDLE_VALUE;
}

// Writes the template copy to a new file beside path, named in temp. False
// after the message, with nothing left behind.
bool write_note_copy(HWND main_window, const wchar_t* path, const uint8_t* copy, DWORD size,
                     wchar_t* temp) {
  HANDLE file = create_temp_beside(path, temp);
  if (file == INVALID_HANDLE_VALUE) {
    warn(main_window, L"ファイルの作成に失敗しました");
    return false;
  }
  DWORD written = 0;
  bool whole = WriteFile(file, copy, size, &written, nullptr) && written == size;
  CloseHandle(file);
  if (whole) return true;
  DeleteFileW(temp);
  warn(main_window, L"ファイルの書き込みに失敗しました");
  return false;
}

struct NoteResources {
  uint8_t group[ICON_GROUP_BYTES];
  uint8_t* image;
  uint8_t table[NOTE_SETTINGS_TABLE_BYTES];
  DWORD table_bytes;
};

// One resource update of path with the three resources; false, with the
// refusing call's error in *error, when a step failed (the update discarded).
bool update_note_resources(const wchar_t* path, const NoteResources& r, DWORD* error) {
  HANDLE update = BeginUpdateResourceW(path, FALSE);
  if (!update) {
    *error = GetLastError();
    return false;
  }
  bool done =
      UpdateResourceW(update, RT_GROUP_ICON, MAKEINTRESOURCEW(ICON_GROUP_ID), NEUTRAL,
                      const_cast<uint8_t*>(r.group), ICON_GROUP_BYTES) &&
      UpdateResourceW(update, RT_ICON, MAKEINTRESOURCEW(ICON_GROUP_ID), NEUTRAL, r.image,
                      icon_group_byte_count(r.group)) &&
      UpdateResourceW(update, RT_STRING, MAKEINTRESOURCEW(1), NEUTRAL,
                      const_cast<uint8_t*>(r.table), r.table_bytes);
  if (!done) {
    *error = GetLastError();
    EndUpdateResourceW(update, TRUE);
    return false;
  }
  if (EndUpdateResourceW(update, FALSE)) return true;
  *error = GetLastError();
  return false;
}

// The icon group, icon image and settings table into the file at path,
// retried while another program holds it. False after the message.
bool write_note_resources(HWND main_window, const wchar_t* path) {
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(main_window, GWLP_HINSTANCE));
  NoteResources r;
  bool done = compose_note_icon(main_window, instance, g_settings.note, r.group, &r.image);
  if (done) {
    RECT client;
    GetClientRect(main_window, &client);
    r.table_bytes = static_cast<DWORD>(
        encode_note_settings(g_settings.note, client.right, client.bottom, r.table));
    DWORD error = 0;
    for (int tries = 1; !(done = update_note_resources(path, r, &error)); ++tries) {
      if (tries == BUSY_TRIES || !busy(error)) break;
      Sleep(BUSY_PAUSE_MS);
    }
  }
  free_icon_image(r.image);
  if (!done) warn(main_window, L"リソースの更新処理に失敗しました");
  return done;
}

// Puts the finished note at path in one move, replacing any file there.
bool replace_note(const wchar_t* temp, const wchar_t* path) {
  for (int tries = 1;; ++tries) {
    if (MoveFileExW(temp, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    if (tries == BUSY_TRIES || !busy(GetLastError())) return false;
    Sleep(BUSY_PAUSE_MS);
  }
}

// True when the note at path cannot be opened for writing because another
// program holds it: a running note. A missing note is not in use.
bool note_in_use(const wchar_t* path) {
  for (int tries = 1;; ++tries) {
    HANDLE file = CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      CloseHandle(file);
      return false;
    }
    if (GetLastError() != ERROR_SHARING_VIOLATION) return false;
    if (tries == BUSY_TRIES) return true;
    Sleep(BUSY_PAUSE_MS);
  }
}

// Output of the current text and look to its note path; renamed_from names
// the note that a correction moved there, for the shell. The destination is
// only ever replaced whole: every failure leaves it as it was, and the
// editor's state too. False after the failure's message.
bool write_note(HWND main_window, bool quit, const wchar_t* renamed_from) {
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(main_window, GWLP_HINSTANCE));
  DWORD size = 0;
  uint8_t* copy = copy_note_template(instance, &size);
  if (!copy) {
    warn(main_window, L"付箋テンプレートの読み込みに失敗しました");
    return false;
  }
  wchar_t path[NOTE_PATH_UNITS];
  wchar_t temp[NOTE_PATH_UNITS];
  bool copied = build_note_path(main_window, true, path) && !destination_refused(main_window, path) &&
                write_note_copy(main_window, path, copy, size, temp);
  HeapFree(GetProcessHeap(), 0, copy);
  if (!copied) return false;
  if (!write_note_resources(main_window, temp)) {
    DeleteFileW(temp);
    return false;
  }
  bool existed = GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
  if (!replace_note(temp, path)) {
    DeleteFileW(temp);
    warn(main_window, L"ファイルの作成に失敗しました");
    return false;
  }
  // Explorer would otherwise keep showing the old icon of a note rewritten in place.
  if (renamed_from) SHChangeNotify(SHCNE_RENAMEITEM, SHCNF_PATHW, renamed_from, path);
  SHChangeNotify(existed ? SHCNE_UPDATEITEM : SHCNE_CREATE, SHCNF_PATHW, path, nullptr);
  if (quit) PostMessageW(main_window, WM_CLOSE, 0, 0);
  adopt_note_path(main_window, path, NOTE_PATH_UNITS);
  return true;
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

void output_note(HWND main_window, bool quit) { write_note(main_window, quit, nullptr); }

void reflect_corrections(HWND main_window, bool quit) {
  if (!g_editor.current_note_path[0]) return;
  wchar_t path[NOTE_PATH_UNITS];
  if (!build_note_path(main_window, false, path)) return;
  // A running note cannot be rewritten; renaming it first would leave it
  // under the new name with the old look.
  wchar_t old_path[NOTE_PATH_UNITS];
  lstrcpynW(old_path, g_editor.current_note_path, NOTE_PATH_UNITS);
  if (note_in_use(old_path)) {
    warn(main_window, L"付箋が実行中のため訂正できません。付箋を閉じてから、もう一度実行してください");
    return;
  }
  if (destination_refused(main_window, path)) return;
  // When the rename fails (the name is taken, or the note is gone), output
  // still writes the new path.
  bool moved = lstrcmpiW(old_path, path) != 0 && MoveFileW(old_path, path);
  if (write_note(main_window, quit, moved ? old_path : nullptr)) return;
  // A failed correction changes no file: the note goes back to its name.
  if (moved) MoveFileW(path, old_path);
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
