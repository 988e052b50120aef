// Style slots in the settings file: menu labels, loading and saving.
#include "editor/styles_win.h"
#include <cwchar>
#include "editor/choosers_win.h"
#include "editor/dialogs_win.h"
#include "editor/editor_ids.h"
#include "editor/editor_state_win.h"
#include "editor/preview_win.h"
#include "editor/settings_store_win.h"
#include "editor/style_label.h"
#include "editor/window_size_win.h"

namespace {

const int STYLE_MENU_POSITION = 2;

void report_write_failure(HWND owner) {
  wchar_t message[PATH_UNITS + 64];
  swprintf(message, PATH_UNITS + 64, L"設定ファイルの書き込みに失敗しました\n\n%ls",
           reinterpret_cast<const wchar_t*>(g_settings.settings_path));
  MessageBoxW(owner, message, L"エラー", MB_OK | MB_ICONWARNING);
}

// The loaded colour becomes the background only when its brush exists;
// otherwise the old colour and brush stay and the failure is reported.
void take_background_color(HWND main_window, COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  if (brush) {
    g_settings.note.background_color = colour;
    adopt_background_brush(main_window, brush);
    return;
  }
  apply_background_mode(main_window);
  report_brush_failure(main_window);
}

}  // namespace

void update_style_menu(HMENU menu_bar) {
  HMENU styles = GetSubMenu(menu_bar, STYLE_MENU_POSITION);
  ProfileAccess profile = settings_profile();
  for (int slot = 1; slot <= STYLE_SLOTS; ++slot) {
    char16_t section[16], name[STYLE_NAME_UNITS], label[STYLE_LABEL_UNITS];
    style_section(slot, section, 16);
    profile.read_text(profile.context, section, u"STYLE_NAME", u"", name, STYLE_NAME_UNITS);
    format_style_label(slot, name, label, STYLE_LABEL_UNITS);
    MENUITEMINFOW item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_TYPE;
    item.fType = MFT_STRING;
    item.dwTypeData = reinterpret_cast<wchar_t*>(label);
    SetMenuItemInfoW(styles, slot - 1, TRUE, &item);
  }
}

void load_style(HWND main_window, int command) {
  int slot = style_slot_of_load(command);
  NoteSettings loaded = g_settings.note;
  int32_t width = 0, height = 0;
  load_style_from(settings_profile(), slot, &loaded, &width, &height);
  COLORREF background = loaded.background_color;
  loaded.background_color = g_settings.note.background_color;
  g_settings.note = loaded;
  apply_preview_font(g_editor.edit);
  take_background_color(main_window, background);
  if (g_settings.note.image_enabled) load_preview_background_image(main_window);
  apply_background_mode(main_window);
  // The size handling keeps the edit control's position, so the loaded
  // margin is laid out here; it then follows the new outer size.
  place_edit_control(main_window);
  set_stored_window_size(main_window, width, height);
  save_editor_settings(main_window);
  InvalidateRect(main_window, nullptr, TRUE);
}

void save_style(HWND main_window, int command) {
  int slot = style_slot_of_save(command);
  if (!run_dialog(main_window, IDD_STYLE_NAME, style_name_dialog_proc)) return;
  ProfileAccess profile = settings_profile();
  char16_t section[16];
  style_section(slot, section, 16);
  profile.write_text(profile.context, section, u"STYLE_NAME", reinterpret_cast<const char16_t*>(g_editor.style_name));
  update_style_menu(GetMenu(main_window));
  int width = 0, height = 0;
  stored_window_size(main_window, &width, &height);
  if (!save_style_to(profile, slot, g_settings.note, width, height)) report_write_failure(main_window);
}
