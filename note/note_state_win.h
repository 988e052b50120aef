// Process-wide state of the note program and the operations its windows
// share. Only the user-interface thread touches it.
#pragma once
#include <windows.h>
#include "common/background_image_win.h"
#include "common/note_name_codec.h"
#include "note/note_layout.h"

struct NoteProcess {
  HINSTANCE instance;
  wchar_t text[NOTE_TEXT_UNITS];  // the note text, from the program's own file name
  int dpi;                        // the display scale the note is drawn at
  int margin;                     // in pixels at dpi
  COLORREF background_color;
  COLORREF text_color;
  BackgroundBitmap image;         // null bitmap: plain background colour
  HBRUSH container_brush;         // the container class brush; stock when an image exists
  HWND input;
  HWND container;
  HWND edit;
  HFONT font;
  WPARAM pressed;                 // MK_LBUTTON, MK_RBUTTON: buttons that went down in the note
};

extern NoteProcess note_state;

// The input window, which takes all input, or null when it cannot be made.
HWND create_note_window(HINSTANCE instance);

// Sets note_state.text from a module path split into drive, directory, name and
// extension buffers of 3, 256, 1024 and 256 units. A path whose parts do not
// fit (or no path) gives an empty text.
void set_note_text_from_path(const wchar_t* module_path);

// The rectangle of a monitor (rcMonitor, taskbar included). A null monitor or
// one that cannot be read gives the primary screen's size at (0, 0).
NoteMonitor note_monitor(HMONITOR monitor);

// The procedure of the input window class "VEMTO_SRC_MAIN".
LRESULT CALLBACK input_window_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

// Prepares the background, registers "CONTAINER" and creates the container
// window; null when the class cannot be registered or the window made.
HWND create_container_window(HINSTANCE instance);

// Reads table ids 5 to 9, creates the note font at note_state.dpi and gives
// it to the edit control; a font made before is deleted once replaced.
void apply_note_font(HINSTANCE instance);

// The table's margin (id 0) in pixels at note_state.dpi.
int note_margin(HINSTANCE instance);

// Takes a new display scale (WM_DPICHANGED): margin and font at dpi, the
// input window at the rectangle Windows suggests.
void rescale_note(HWND input_window, int dpi, const RECT& suggested);

// The second thread: closes the input window after the table's auto-close time.
DWORD WINAPI auto_close_thread(LPVOID input_window);

// Resizes the input window by one wheel message (wParam of WM_MOUSEWHEEL).
void zoom_note_window(WPARAM wheel, HWND input_window);
