// The editor's process-wide window state: the windows, the busy flag, the
// preview's GDI objects and the texts that commands hand to one another.
#pragma once
#include <windows.h>
#include "common/background_image_win.h"
#include "common/note_settings.h"
#include "editor/settings_store.h"

struct EditorState {
  HINSTANCE instance;
  HWND main_window;
  HWND edit;             // child id 1 of the main window
  HMENU menu;            // the main window's menu bar
  bool busy;             // set around output and correction: other commands are dropped
  bool keep_stored_size; // set while the scale changes: the window's new size is not saved
  int dpi;               // the DPI the main window was last laid out at
  DWORD last_selection;  // last EM_GETSEL result seen by the selection poll
  HBRUSH background_brush;      // solid brush of background_color, owned here
  BackgroundBitmap background;  // the preview's picture, or a null bitmap
  HFONT preview_font;           // the edit control's font, owned here
  wchar_t style_name[STYLE_NAME_UNITS];        // filled by the style name dialog
  wchar_t current_note_path[NOTE_PATH_UNITS];  // the note last output or reopened
};

extern EditorState g_editor;
