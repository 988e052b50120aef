// The common colour and font choosers through which the user changes the
// note's colours and font, and what happens when a colour is chosen.
#pragma once
#include <windows.h>

// What to do with a confirmed colour; owner is the chooser's owner.
typedef void (*ColorChosenFn)(HWND owner, COLORREF colour);

// Runs the basic colour chooser on initial and palette (16 custom colours,
// edited in place). On OK calls on_chosen; in every case then saves both
// palettes.
void choose_note_color(HWND owner, COLORREF initial, COLORREF* palette, ColorChosenFn on_chosen);

// Makes colour the background: new brush, picture prepared again when
// enabled, mode, repaint, save. A brush that cannot be made is reported and
// changes nothing.
void on_background_color_chosen(HWND owner, COLORREF colour);

// Makes colour the text colour, repaints and saves.
void on_text_color_chosen(HWND owner, COLORREF colour);

// Runs the font chooser from the current font at its point size; on OK
// stores the chosen font (its height and width in stored units), gives it to
// the edit control, repaints and saves. Cancel changes nothing.
void choose_note_font(HWND main_window);

// Shows "新しい背景用ブラシの作成に失敗しました" owned by owner.
void report_brush_failure(HWND owner);
