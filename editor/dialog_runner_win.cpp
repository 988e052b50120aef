// What every dialog shares: running one modally over the main window, and
// the small icon in its caption.
#include <windows.h>
#include "editor/dialogs_win.h"

INT_PTR run_dialog(HWND main_window, int id, DLGPROC proc) {
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(main_window, GWLP_HINSTANCE));
  return DialogBoxParamW(instance, MAKEINTRESOURCEW(id), main_window, proc, 0);
}

void set_dialog_small_icon(HWND dialog) {
  HWND owner = GetWindow(dialog, GW_OWNER);
  SendMessageW(dialog, WM_SETICON, ICON_SMALL, static_cast<LPARAM>(GetClassLongPtrW(owner, GCLP_HICONSM)));
}
