// Reopening a note for correction: its settings table becomes the editor's
// look, its file name the edit text, its path the note being corrected.
#pragma once
#include <windows.h>
#include <shellapi.h>

// Reads the note at path and makes it the editor's note. A file that cannot
// be mapped or lacks a required entry shows "ファイルを開くのに失敗しました"
// with its path and changes nothing. No code of the file ever runs: it is
// mapped as image resources only.
void reopen_note(HWND main_window, const wchar_t* path);

// Command 1009: the open dialog, then reopen_note with the chosen file.
void choose_note_to_reopen(HWND main_window);

// Reopens the note named by the command line's first argument, if any.
void reopen_from_command_line(HWND main_window);

// WM_DROPFILES: exactly one file is reopened; more are refused with a
// message. Releases the drop handle.
void reopen_dropped_note(HDROP drop, HWND main_window);
