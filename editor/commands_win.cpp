// The command table of the main window: each id to the operation that
// carries it out.
#include "editor/commands_win.h"
#include <shellapi.h>
#include <cwchar>
#include "editor/note_commands_win.h"
#include "editor/choosers_win.h"
#include "editor/dialogs_win.h"
#include "editor/editor_ids.h"
#include "editor/editor_state_win.h"
#include "editor/preview_win.h"
#include "editor/settings_store_win.h"
#include "editor/style_label.h"
#include "editor/styles_win.h"

namespace {

COLORREF* palette(uint32_t* entries) { return reinterpret_cast<COLORREF*>(entries); }

void toggle_escape_message(HWND main_window) {
  g_settings.escape_message = g_settings.escape_message ? 0 : 1;
  CheckMenuItem(GetMenu(main_window), CMD_ESCAPE_MESSAGE,
                MF_BYCOMMAND | (g_settings.escape_message ? MF_CHECKED : MF_UNCHECKED));
  save_escape_message_to(settings_profile(), g_settings.escape_message);
}

void open_program_folder() {
  wchar_t folder[1024] = L"";
  if (editor_folder(folder, 1024))
    ShellExecuteW(nullptr, L"explore", folder, nullptr, nullptr, SW_SHOWNORMAL);
}

// Output and correction run nested message loops (their message boxes); the
// busy flag drops every command that arrives meanwhile.
void run_busy(void (*operation)(HWND, bool), HWND main_window, bool quit) {
  g_editor.busy = true;
  operation(main_window, quit);
  g_editor.busy = false;
}

void set_background_image(HWND main_window) {
  if (!run_dialog(main_window, IDD_IMAGE, image_dialog_proc)) return;
  if (g_settings.note.image_enabled) load_preview_background_image(main_window);
  apply_background_mode(main_window);
  InvalidateRect(main_window, nullptr, TRUE);
  save_editor_settings(main_window);
}

}  // namespace

void show_readme(HWND main_window) {
  // Limited so that the joined path stays within 1024 units.
  wchar_t path[1024] = L"";
  if (!editor_folder(path, 1013)) return;
  wcsncat(path, L"Readme.txt", 1023 - wcslen(path));
  ShellExecuteW(main_window, L"open", path, nullptr, nullptr, SW_SHOWNORMAL);
}

void dispatch_command(HWND main_window, int id) {
  if (style_slot_of_load(id)) return load_style(main_window, id);
  if (style_slot_of_save(id)) return save_style(main_window, id);
  switch (id) {
    case CMD_OUTPUT_NOTE:
      run_busy(output_note, main_window, false);
      break;
    case CMD_OUTPUT_AND_QUIT:
      run_busy(output_note, main_window, true);
      break;
    case CMD_REFLECT_CORRECTIONS:
      run_busy(reflect_corrections, main_window, false);
      break;
    case CMD_REFLECT_AND_QUIT:
      run_busy(reflect_corrections, main_window, true);
      break;
    case CMD_REOPEN_NOTE:
      choose_note_to_reopen(main_window);
      break;
    case CMD_QUIT:
      PostMessageW(main_window, WM_CLOSE, 0, 0);
      break;
    case CMD_BACKGROUND_COLOR:
      choose_note_color(main_window, g_settings.note.background_color, palette(g_settings.background_palette),
                        on_background_color_chosen);
      break;
    case CMD_TEXT_COLOR:
      choose_note_color(main_window, g_settings.note.text_color, palette(g_settings.text_palette),
                        on_text_color_chosen);
      break;
    case CMD_FONT:
      choose_note_font(main_window);
      break;
    case CMD_MARGIN:
      if (run_dialog(main_window, IDD_MARGIN, margin_dialog_proc)) apply_margin(main_window);
      break;
    case CMD_AUTO_CLOSE:
      if (run_dialog(main_window, IDD_AUTO_CLOSE, auto_close_dialog_proc)) save_editor_settings(main_window);
      break;
    case CMD_README:
      show_readme(main_window);
      break;
    case CMD_ABOUT:
      run_dialog(main_window, IDD_ABOUT, about_dialog_proc);
      break;
    case CMD_ESCAPE_MESSAGE:
      toggle_escape_message(main_window);
      break;
    case CMD_BACKGROUND_IMAGE:
      set_background_image(main_window);
      break;
    case CMD_ICON_TEMPLATE:
      if (run_dialog(main_window, IDD_ICON_TEMPLATE, icon_template_dialog_proc)) save_editor_settings(main_window);
      break;
    case CMD_OPEN_FOLDER:
      open_program_folder();
      break;
  }
}
