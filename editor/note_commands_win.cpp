// Output, correction and reopen as the editor's window sees them: the inputs
// gathered from the window, the note builder called, its result applied.
#include "editor/note_commands_win.h"
#include <commdlg.h>
#include "common/note_name_codec_win.h"
#include "editor/builder/command_line.h"
#include "editor/builder/note_reopen_win.h"
#include "editor/builder/note_writer_win.h"
#include "editor/editor_ids.h"
#include "editor/editor_state_win.h"
#include "editor/preview_win.h"
#include "editor/settings_store_win.h"
#include "editor/window_size_win.h"

static_assert(IDR_NOTE_TEMPLATE == NOTE_TEMPLATE_ID, "the builder looks for the template the script holds");

namespace {

const wchar_t* W(const char16_t* s) { return reinterpret_cast<const wchar_t*>(s); }
const char16_t* U(const wchar_t* s) { return reinterpret_cast<const char16_t*>(s); }

void warn(HWND main_window, const wchar_t* text) {
  MessageBoxW(main_window, text, L"エラー", MB_OK | MB_ICONWARNING);
}

// The escape confirmation, shown by the builder before anything is written.
void confirm_escapes(void* main_window, const EscapeCounts& counts) {
  char16_t message[ESCAPE_MESSAGE_UNITS];
  format_escape_message(counts, message, ESCAPE_MESSAGE_UNITS);
  MessageBoxW(static_cast<HWND>(main_window), W(message), L"確認", MB_OK);
}

// After a note was output or reopened: remembers its path, shows its file
// name in the title and enables the correction commands.
void adopt_note_path(HWND main_window, const wchar_t* path, size_t title_units) {
  lstrcpynW(g_editor.current_note_path, path, NOTE_PATH_UNITS);
  char16_t title[NOTE_PATH_UNITS];
  if (title_units > NOTE_PATH_UNITS) title_units = NOTE_PATH_UNITS;
  format_editor_title(U(path), title, title_units, WIN32_STEPPER);
  SetWindowTextW(main_window, W(title));
  HMENU menu = GetMenu(main_window);
  EnableMenuItem(menu, CMD_REFLECT_CORRECTIONS, MF_BYCOMMAND | MF_ENABLED);
  EnableMenuItem(menu, CMD_REFLECT_AND_QUIT, MF_BYCOMMAND | MF_ENABLED);
}

// What the builder needs from the window: the text, the look, the client
// size in stored units (the preview is the note) and the desktop folder.
struct OutputInputs {
  wchar_t text[NOTE_TEXT_UNITS];
  wchar_t folder[PATH_UNITS];
  NoteOutput in;
};

void gather_output_inputs(HWND main_window, OutputInputs* g) {
  GetDlgItemTextW(main_window, IDC_NOTE_EDIT, g->text, NOTE_TEXT_UNITS);
  find_desktop_folder(g->folder);  // left empty when unknown: the builder reports it in turn
  int client_width = 0, client_height = 0;
  stored_client_size(main_window, &client_width, &client_height);
  NoteOutput& in = g->in;
  in.resources = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(main_window, GWLP_HINSTANCE));
  in.text = g->text;
  in.look = &g_settings.note;
  in.client_width = client_width;
  in.client_height = client_height;
  in.folder = g->folder;
  in.correcting = g_editor.current_note_path;
  in.escaped = g_settings.escape_message ? confirm_escapes : nullptr;
  in.context = main_window;
}

// Says where the old note stayed after a correction across volumes; shown
// while the editor still names it.
void warn_old_note_kept(HWND main_window, const wchar_t* old_path) {
  char16_t message[NOTE_PATH_UNITS + 128];
  format_old_note_kept(U(old_path), message, NOTE_PATH_UNITS + 128);
  warn(main_window, W(message));
}

// The messages of an output or a correction, in the order they arose, and
// the window's state after it.
void apply_write_result(HWND main_window, bool quit, const NoteWriteResult& r) {
  if (r.icon_unreadable) warn(main_window, L"アイコンファイルの読み込みに失敗しました");
  if (r.failure == NOTE_WRITE_OK) {
    if (r.old_note_kept) warn_old_note_kept(main_window, g_editor.current_note_path);
    if (quit) PostMessageW(main_window, WM_CLOSE, 0, 0);
    adopt_note_path(main_window, r.note_path, NOTE_PATH_UNITS);
    return;
  }
  warn(main_window, W(note_write_message(r.failure)));
  if (!r.moved_back_failed) return;
  // The editor never names a note that is no longer there.
  adopt_note_path(main_window, r.note_path, NOTE_PATH_UNITS);
  char16_t message[NOTE_PATH_UNITS + 128];
  format_moved_back_failure(U(r.note_path), message, NOTE_PATH_UNITS + 128);
  warn(main_window, W(message));
}

void show_open_failure(HWND main_window, const wchar_t* path) {
  char16_t message[OPEN_FAILURE_UNITS];
  format_open_failure(U(path), message, OPEN_FAILURE_UNITS);
  warn(main_window, W(message));
}

// The new background colour and brush; the old ones stay when no brush can be made.
void adopt_background_color(HWND main_window, COLORREF color) {
  HBRUSH brush = CreateSolidBrush(color);
  if (!brush) {
    warn(main_window, L"新しい背景用ブラシの作成に失敗しました");
    return;
  }
  g_settings.note.background_color = color;
  adopt_background_brush(main_window, brush);
}

void apply_reopened_note(HWND main_window, const ReopenedNoteFile& file) {
  const ReopenedNote& note = file.note;
  COLORREF old_background = g_settings.note.background_color;
  g_settings.note = note.settings;
  g_settings.note.background_color = old_background;  // only once a brush exists
  apply_preview_font(GetDlgItem(main_window, IDC_NOTE_EDIT));
  adopt_background_color(main_window, note.settings.background_color);
  g_settings.note.image_enabled = g_settings.note.image_path[0] != 0;
  if (g_settings.note.image_enabled) load_preview_background_image(main_window);
  apply_background_mode(main_window);
  adopt_note_path(main_window, file.path, PATH_UNITS);
  SetDlgItemTextW(main_window, IDC_NOTE_EDIT, file.text);
  set_stored_client_size(main_window, note.client_width, note.client_height);
  place_edit_control(main_window);  // the preview keeps the note's margin, as the note will
  save_editor_settings(main_window);
  InvalidateRect(main_window, nullptr, TRUE);
}

// Gathers the inputs, runs write on them and applies what it returned.
void write_and_apply(HWND main_window, bool quit, void (*write)(const NoteOutput&, NoteWriteResult*)) {
  static OutputInputs inputs;  // two long paths and a text: kept off the stack
  static NoteWriteResult result;
  gather_output_inputs(main_window, &inputs);
  write(inputs.in, &result);
  apply_write_result(main_window, quit, result);
}

}  // namespace

void output_note(HWND main_window, bool quit) { write_and_apply(main_window, quit, write_note_file); }

void reflect_corrections(HWND main_window, bool quit) {
  if (g_editor.current_note_path[0]) write_and_apply(main_window, quit, write_corrected_note);
}

void reopen_note(HWND main_window, const wchar_t* path) {
  static ReopenedNoteFile file;  // two long paths and a text: kept off the stack
  if (!read_note_file(path, &file)) {
    show_open_failure(main_window, path);
    return;
  }
  apply_reopened_note(main_window, file);
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
