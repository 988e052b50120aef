// The live preview: the note's look applied to the main window and its edit
// control, the two display modes, and the repaint rules of image mode.
#pragma once
#include <windows.h>

enum { SELECTION_POLL_TIMER = 1, SELECTION_POLL_MS = 50 };

// Makes the note font from the current settings, at the DPI edit is drawn
// at, and gives it to edit without redrawing; the font it replaces is
// deleted once edit no longer uses it.
void apply_preview_font(HWND edit);

// Sets the class background and the selection poll for the current mode.
// Repaints nothing.
void apply_background_mode(HWND main_window);

// Places the edit control for the current margin, repaints with erasing and
// saves the settings.
void apply_margin(HWND main_window);

// Puts the edit control at (margin, margin) with the client size less twice
// the margin (the margin scaled to the window's DPI), without repainting.
void place_edit_control(HWND main_window);

// True in background image mode: image_enabled set and a picture loaded.
bool preview_in_image_mode();

// Loads the background image from the current settings. On success the new
// picture replaces the old one, which is deleted; on failure the old one is
// deleted too and the failure message is shown, owned by owner.
void load_preview_background_image(HWND owner);

// Makes brush the background brush, sets the class background for the
// current mode and only then deletes the brush it replaces.
void adopt_background_brush(HWND main_window, HBRUSH brush);

// WM_CTLCOLOREDIT from the edit control: sets up dc, returns the brush for
// the control's empty area (the main window's class background).
LRESULT edit_colors(HWND main_window, HDC dc);

// WM_TIMER: repaints the picture under the text when the selection moved.
void poll_selection(HWND main_window);

// EN_UPDATE from the edit control: in image mode the picture is repainted
// under the changed text.
void on_edit_update(HWND main_window);
