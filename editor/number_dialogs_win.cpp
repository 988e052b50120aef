// The margin and auto-close dialogs (a number with an up-down control) and
// the style name dialog.
#include <windows.h>
#include <commctrl.h>
#include <cstdint>
#include "editor/dialog_values.h"
#include "editor/dialogs_win.h"
#include "editor/editor_ids.h"
#include "editor/editor_state_win.h"
#include "editor/settings_store_win.h"

namespace {

const int NUMBER_MAX = 32767;

// Shared by the margin and auto-close dialogs, which differ only in the
// value they edit.
INT_PTR number_dialog(HWND dialog, UINT message, WPARAM wparam, int32_t* value) {
  switch (message) {
    case WM_INITDIALOG:
      set_dialog_small_icon(dialog);
      SendDlgItemMessageW(dialog, IDC_VALUE_UPDOWN, UDM_SETRANGE, 0, MAKELPARAM(NUMBER_MAX, 0));
      // A value from the file may exceed the range; the field shows the
      // nearest one it can hold rather than a wrapped 16-bit number.
      SendDlgItemMessageW(dialog, IDC_VALUE_UPDOWN, UDM_SETPOS, 0,
                          MAKELPARAM(*value < 0 ? 0 : *value > NUMBER_MAX ? NUMBER_MAX : *value, 0));
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wparam) == IDOK) {
        *value = updown_value(static_cast<uint32_t>(SendDlgItemMessageW(dialog, IDC_VALUE_UPDOWN, UDM_GETPOS, 0, 0)));
        EndDialog(dialog, 1);
        return TRUE;
      }
      if (LOWORD(wparam) == IDCANCEL) {
        EndDialog(dialog, 0);
        return TRUE;
      }
      return FALSE;
    case WM_CLOSE:
      EndDialog(dialog, 0);
      return TRUE;
  }
  return FALSE;
}

}  // namespace

INT_PTR CALLBACK margin_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
  return number_dialog(dialog, message, wparam, &g_settings.note.margin);
}

INT_PTR CALLBACK auto_close_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
  return number_dialog(dialog, message, wparam, &g_settings.note.auto_close_seconds);
}

INT_PTR CALLBACK style_name_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:  // the name always starts empty
      set_dialog_small_icon(dialog);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wparam) == IDOK) {
        GetDlgItemTextW(dialog, IDC_VALUE_EDIT, g_editor.style_name, STYLE_NAME_UNITS);
        EndDialog(dialog, 1);
        return TRUE;
      }
      if (LOWORD(wparam) == IDCANCEL) {
        EndDialog(dialog, 0);
        return TRUE;
      }
      return FALSE;
    case WM_CLOSE:
      EndDialog(dialog, 0);
      return TRUE;
  }
  return FALSE;
}
