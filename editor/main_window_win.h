// The editor's main window: its class, creation and window procedure.
#pragma once
#include <windows.h>

// Creates the main window at the outer size saved in the settings file (the
// system's default size when none is saved). Returns null on failure.
HWND create_main_window(HINSTANCE instance);

// The main window's procedure: dispatches each message to its handler.
LRESULT CALLBACK main_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
