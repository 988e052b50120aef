// The editor's commands: the dispatch of menu and accelerator ids and the
// small commands that need no module of their own.
#pragma once
#include <windows.h>

// Runs command id for the main window. Ids without a command are ignored.
// The caller drops commands while the busy flag is set.
void dispatch_command(HWND main_window, int id);

// Opens Readme.txt from the editor's folder with the associated program.
void show_readme(HWND main_window);
