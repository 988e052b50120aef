// The settings dialogs and the About box: one procedure per dialog. Each
// returns 1 through EndDialog after OK and 0 after Cancel or the close box,
// and stores into the current settings only at OK.
#pragma once
#include <windows.h>

INT_PTR CALLBACK margin_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
INT_PTR CALLBACK auto_close_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
// Stores the name into g_editor.style_name.
INT_PTR CALLBACK style_name_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
INT_PTR CALLBACK image_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
INT_PTR CALLBACK icon_template_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
// Always ends with 1; Escape leaves it open.
INT_PTR CALLBACK about_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);

// Runs dialog id modally over the main window; nonzero after its OK.
INT_PTR run_dialog(HWND main_window, int id, DLGPROC proc);

// Gives dialog the small class icon of its owner.
void set_dialog_small_icon(HWND dialog);

// The file choosers of the image and icon template dialogs: on OK the chosen
// path goes into the dialog's path field; nothing else changes.
void choose_image_file(HWND dialog);
void choose_icon_template_file(HWND dialog);
