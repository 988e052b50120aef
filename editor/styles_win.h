// The nine styles: menu labels from the saved names, loading a slot into the
// running editor, saving the current look into a slot.
#pragma once
#include <windows.h>

// Relabels the nine style sub-menus of menu bar from the saved names.
void update_style_menu(HMENU menu_bar);

// Loads style (command 1012 to 1020) into the settings and the window, makes
// it the start-up look by saving all settings, and repaints.
void load_style(HWND main_window, int command);

// Asks for a name (command 1021 to 1029) and stores it with the current look
// and outer window size. Cancel writes nothing.
void save_style(HWND main_window, int command);
