// The editor settings file through the platform's profile functions.
#pragma once
#include <windows.h>
#include "editor/settings_store.h"

// The editor's remembered state, one per process.
extern EditorSettings g_settings;

// Drive and directory of the running executable, ending with a separator,
// into buf (cap units). False, with buf untouched, when the path cannot be
// obtained or does not fit.
bool editor_folder(wchar_t* buf, size_t cap);

// Composes g_settings.settings_path and fills g_settings from the file;
// missing keys give defaults. Writes nothing, reports nothing.
void load_editor_settings();

// Writes the window's outer width and height in stored units ("WIDTH",
// "HEIGHT" of "WINDOW").
void save_window_size(HWND window);

// Writes both palettes; failures are not reported.
void save_palettes();

// Writes every NoteSettings key. When the first write fails, shows the
// write-failure message with the file's path, owned by owner, and returns false.
bool save_editor_settings(HWND owner);

// The profile functions bound to g_settings.settings_path.
ProfileAccess settings_profile();

// The profile functions bound to another file (path must outlive the result).
// A write creates a missing file as UTF-16 with a byte-order mark first, so
// that every text survives whatever the system code page is.
ProfileAccess profile_for_file(const wchar_t* path);
