// Reopen: reading a note's table through the string loader and applying it.
#include "editor/builder/note_reopen_win.h"
#include <commdlg.h>
#include "common/note_name_codec_win.h"
#include "common/note_settings_table_win.h"
#include "common/text16.h"
#include "editor/builder/command_line.h"
#include "editor/builder/note_reopen.h"
#include "editor/builder/note_writer_win.h"
#include "editor/editor_ids.h"
#include "editor/editor_state_win.h"
#include "editor/preview_win.h"
#include "editor/settings_store_win.h"

namespace {

wchar_t* W(char16_t* s) { return reinterpret_cast<wchar_t*>(s); }

size_t read_module_entry(void* module, int id, char16_t* buf, size_t cap) {
  return note_setting(static_cast<HINSTANCE>(module), id, W(buf), static_cast<int>(cap));
}

// The note mapped as image resources, or null. The loader takes no path of
// MAX_PATH units or more, which a note on the desktop can have: such a note
// is mapped through its short path (asked for in the extended form, which
// has no length limit).
HMODULE map_note(const wchar_t* path) {
  const DWORD flags = LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE;
  HMODULE module = LoadLibraryExW(path, nullptr, flags);
  bool drive_path = path[0] && path[1] == L':' && path[2] == L'\\';
  if (module || !drive_path || lstrlenW(path) < MAX_PATH) return module;
  wchar_t extended[NOTE_PATH_UNITS + 4] = L"\\\\?\\";
  lstrcpynW(extended + 4, path, NOTE_PATH_UNITS);
  wchar_t short_path[MAX_PATH];
  DWORD units = GetShortPathNameW(extended, short_path, MAX_PATH);
  return units > 0 && units < MAX_PATH ? LoadLibraryExW(short_path, nullptr, flags) : nullptr;
}

// The note's table, or false when the file is no program or lacks an entry.
bool read_note_file(const wchar_t* path, ReopenedNote* note) {
  HMODULE module = map_note(path);
  if (!module) return false;
  NoteTableReader reader = {module, read_module_entry};
  bool complete = read_reopened_note(reader, note);
  FreeLibrary(module);
  return complete;
}

void show_open_failure(HWND main_window, const wchar_t* path) {
  char16_t message[OPEN_FAILURE_UNITS];
  format_open_failure(reinterpret_cast<const char16_t*>(path), message, OPEN_FAILURE_UNITS);
  MessageBoxW(main_window, W(message), L"エラー", MB_OK | MB_ICONWARNING);
}

// The new background colour and brush; the old ones stay when no brush can be made.
void adopt_background_color(HWND main_window, COLORREF color) {
  HBRUSH brush = CreateSolidBrush(color);
  if (!brush) {
    MessageBoxW(main_window, L"新しい背景用ブラシの作成に失敗しました", L"エラー",
                MB_OK | MB_ICONWARNING);
    return;
  }
  g_settings.note.background_color = color;
  adopt_background_brush(main_window, brush);
}

// The note's text from its file name: extension cut, escapes undone.
void show_note_text(HWND main_window, const wchar_t* path) {
  wchar_t name[NOTE_TEXT_UNITS];
  lstrcpynW(name, path_file_name_win(path), NOTE_TEXT_UNITS);
  strip_extension_win(name);
  char16_t text[NOTE_TEXT_UNITS];
  unescape_note_name(reinterpret_cast<const char16_t*>(name), text);
  SetDlgItemTextW(main_window, IDC_NOTE_EDIT, W(text));
}

// A narrower window can wrap its menu bar onto more lines, which takes from
// the client area: the size is taken again until the client area is the
// note's (a note reopened and written back would shrink otherwise).
void resize_client(HWND main_window, int width, int height) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    RECT client, outer;
    GetClientRect(main_window, &client);
    if (attempt > 0 && client.right == width && client.bottom == height) return;
    GetWindowRect(main_window, &outer);
    SetWindowPos(main_window, nullptr, 0, 0, outer.right - outer.left - client.right + width,
                 outer.bottom - outer.top - client.bottom + height, SWP_NOZORDER | SWP_NOMOVE);
  }
}

void apply_reopened_note(HWND main_window, const ReopenedNote& note, const wchar_t* path) {
  COLORREF old_background = g_settings.note.background_color;
  g_settings.note = note.settings;
  g_settings.note.background_color = old_background;  // only once a brush exists
  apply_preview_font(GetDlgItem(main_window, IDC_NOTE_EDIT));
  adopt_background_color(main_window, note.settings.background_color);
  g_settings.note.image_enabled = g_settings.note.image_path[0] != 0;
  if (g_settings.note.image_enabled) load_preview_background_image(main_window);
  apply_background_mode(main_window);
  adopt_note_path(main_window, path, PATH_UNITS);
  show_note_text(main_window, path);
  resize_client(main_window, note.client_width, note.client_height);
  place_edit_control(main_window);  // the preview keeps the note's margin, as the note will
  save_editor_settings(main_window);
  InvalidateRect(main_window, nullptr, TRUE);
}

}  // namespace

void reopen_note(HWND main_window, const wchar_t* path) {
  static ReopenedNote note;  // two 1024-unit paths: kept off the stack
  if (!read_note_file(path, &note)) {
    show_open_failure(main_window, path);
    return;
  }
  apply_reopened_note(main_window, note, path);
}

void choose_note_to_reopen(HWND main_window) {
  wchar_t path[NOTE_PATH_UNITS] = {};
  OPENFILENAMEW ofn = {};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = main_window;
  ofn.lpstrFilter = L"アプリケーション (*.exe)\0*.exe\0全て (*.*)\0*.*\0";
  ofn.lpstrFile = path;
  ofn.nMaxFile = NOTE_PATH_UNITS;
  ofn.lpstrTitle = L"訂正する付箋ファイルを開く";
  // Keeps the editor's current directory, which would otherwise hold the
  // chosen folder in use until the editor closes.
  ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (GetOpenFileNameW(&ofn)) reopen_note(main_window, path);
}

void reopen_from_command_line(HWND main_window) {
  const wchar_t* line = GetCommandLineW();
  size_t units = lstrlenW(line) + 1;
  wchar_t* copy = static_cast<wchar_t*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY,
                                                  units * sizeof(wchar_t)));
  if (!copy) return;
  lstrcpynW(copy, line, static_cast<int>(units));
  char16_t* argument = first_command_line_argument(reinterpret_cast<char16_t*>(copy), WIN32_STEPPER);
  if (argument) reopen_note(main_window, W(argument));
  HeapFree(GetProcessHeap(), 0, copy);
}

void reopen_dropped_note(HDROP drop, HWND main_window) {
  UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  wchar_t path[NOTE_PATH_UNITS] = {};
  if (count == 1) DragQueryFileW(drop, 0, path, NOTE_PATH_UNITS);
  DragFinish(drop);  // the path is copied; the handle is ours to release
  if (count == 1)
    reopen_note(main_window, path);
  else
    MessageBoxW(main_window, L"複数ファイルのドラッグアンドドロップに対応していません", L"確認",
                MB_OK);
}
