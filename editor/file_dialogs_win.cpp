// The background image and icon template dialogs, each with a check box that
// enables its fields, and their file choosers.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include "editor/dialog_values.h"
#include "editor/dialogs_win.h"
#include "editor/editor_ids.h"
#include "editor/settings_store_win.h"

namespace {

const int IMAGE_FIELDS[] = {IDC_IMAGE_PATH, IDC_BROWSE, IDC_RED_EDIT, IDC_GREEN_EDIT,
                            IDC_BLUE_EDIT,  IDC_RED_UPDOWN, IDC_GREEN_UPDOWN, IDC_BLUE_UPDOWN};
const int ICON_FIELDS[] = {IDC_ICON_PATH, IDC_BROWSE};
const int COLOUR_UPDOWNS[3] = {IDC_RED_UPDOWN, IDC_GREEN_UPDOWN, IDC_BLUE_UPDOWN};

template <size_t N>
void enable_fields(HWND dialog, const int (&ids)[N], bool enable) {
  for (int id : ids) EnableWindow(GetDlgItem(dialog, id), enable);
}

bool checked(HWND dialog) {
  return SendDlgItemMessageW(dialog, IDC_ENABLE_CHECK, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void set_checked(HWND dialog, int32_t flag) {
  SendDlgItemMessageW(dialog, IDC_ENABLE_CHECK, BM_SETCHECK, flag ? BST_CHECKED : BST_UNCHECKED, 0);
}

// The path in a path field, trimmed, cut to PATH_UNITS - 1 units. The field
// is read in full first, so that the quotes around a long path still pair.
void store_path_field(HWND dialog, int path_field, char16_t* path) {
  wchar_t field[2 * PATH_UNITS];
  GetDlgItemTextW(dialog, path_field, field, 2 * PATH_UNITS);
  trim_pasted_path(reinterpret_cast<const char16_t*>(field), path, PATH_UNITS);
}

// The chooser leaves the editor's current directory alone: otherwise the
// chosen folder (a USB stick, say) stays in use until the editor closes.
void choose_file(HWND dialog, int path_field, const wchar_t* filter, const wchar_t* title) {
  wchar_t file[1024] = {};
  OPENFILENAMEW ofn = {};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = dialog;
  ofn.lpstrFilter = filter;
  ofn.lpstrFile = file;
  ofn.nMaxFile = 1024;
  ofn.lpstrTitle = title;
  ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (GetOpenFileNameW(&ofn)) SetDlgItemTextW(dialog, path_field, file);
}

void init_image_dialog(HWND dialog) {
  const NoteSettings& n = g_settings.note;
  set_dialog_small_icon(dialog);
  set_checked(dialog, n.image_enabled);
  SetDlgItemTextW(dialog, IDC_IMAGE_PATH, reinterpret_cast<const wchar_t*>(n.image_path));
  for (int i = 0; i < 3; ++i) {
    SendDlgItemMessageW(dialog, COLOUR_UPDOWNS[i], UDM_SETRANGE, 0, MAKELPARAM(255, 0));
    SendDlgItemMessageW(dialog, COLOUR_UPDOWNS[i], UDM_SETPOS, 0,
                        MAKELPARAM(pixel_order_component(n.transparent_color, i), 0));
  }
  enable_fields(dialog, IMAGE_FIELDS, n.image_enabled != 0);
}

void store_image_dialog(HWND dialog) {
  NoteSettings& n = g_settings.note;
  n.image_enabled = checked(dialog) ? 1 : 0;
  store_path_field(dialog, IDC_IMAGE_PATH, n.image_path);
  uint32_t pos[3];
  for (int i = 0; i < 3; ++i)
    pos[i] = static_cast<uint32_t>(SendDlgItemMessageW(dialog, COLOUR_UPDOWNS[i], UDM_GETPOS, 0, 0));
  n.transparent_color = transparent_from_updowns(pos[0], pos[1], pos[2]);
}

void init_icon_template_dialog(HWND dialog) {
  const NoteSettings& n = g_settings.note;
  set_dialog_small_icon(dialog);
  set_checked(dialog, n.icon_enabled);
  SetDlgItemTextW(dialog, IDC_ICON_PATH, reinterpret_cast<const wchar_t*>(n.icon_path));
  enable_fields(dialog, ICON_FIELDS, n.icon_enabled != 0);
}

void store_icon_template_dialog(HWND dialog) {
  NoteSettings& n = g_settings.note;
  n.icon_enabled = checked(dialog) ? 1 : 0;
  store_path_field(dialog, IDC_ICON_PATH, n.icon_path);
}

// The commands both dialogs share: the check box, "...", OK and Cancel.
template <size_t N>
INT_PTR file_dialog_command(HWND dialog, int id, const int (&fields)[N], void (*choose)(HWND),
                            void (*store)(HWND)) {
  switch (id) {
    case IDC_ENABLE_CHECK:
      enable_fields(dialog, fields, checked(dialog));
      return TRUE;
    case IDC_BROWSE:
      choose(dialog);
      return TRUE;
    case IDOK:
      store(dialog);
      EndDialog(dialog, 1);
      return TRUE;
    case IDCANCEL:
      EndDialog(dialog, 0);
      return TRUE;
  }
  return FALSE;
}

}  // namespace

void choose_image_file(HWND dialog) {
  choose_file(dialog, IDC_IMAGE_PATH, L"ビットマップ イメージ (*.bmp)\0*.bmp\0全て (*.*)\0*.*\0", L"背景画像を選択");
}

void choose_icon_template_file(HWND dialog) {
  choose_file(dialog, IDC_ICON_PATH, L"Icon (*.ico)\0*.ico\0全て (*.*)\0*.*\0", L"アイコンテンプレートを選択");
}

INT_PTR CALLBACK image_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      init_image_dialog(dialog);
      return TRUE;
    case WM_COMMAND:
      return file_dialog_command(dialog, LOWORD(wparam), IMAGE_FIELDS, choose_image_file, store_image_dialog);
    case WM_CLOSE:
      EndDialog(dialog, 0);
      return TRUE;
  }
  return FALSE;
}

INT_PTR CALLBACK icon_template_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      init_icon_template_dialog(dialog);
      return TRUE;
    case WM_COMMAND:
      return file_dialog_command(dialog, LOWORD(wparam), ICON_FIELDS, choose_icon_template_file,
                                 store_icon_template_dialog);
    case WM_CLOSE:
      EndDialog(dialog, 0);
      return TRUE;
  }
  return FALSE;
}
