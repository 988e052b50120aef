// The note commands of the editor: output, correction and reopen. They gather
// the text, look and size from the window, call the note builder and apply
// what it returns to the window: messages, title, menu, preview.
#pragma once
#include <windows.h>
#include <shellapi.h>

// Writes the note of the current text and look to the desktop (commands 1000
// and 1034). Every failure shows its message and leaves the note path, title
// and menu as they were; after a success the editor closes when quit is set.
void output_note(HWND main_window, bool quit);

// Moves the note last output or reopened to the current text's name and
// outputs over it (commands 1010 and 1033); nothing before the first output
// or reopen. When a failed correction cannot move the note back, the editor
// names the note where it now is and says so.
void reflect_corrections(HWND main_window, bool quit);

// Reads the note at path and makes it the editor's note. A file that cannot
// be mapped or lacks a required entry shows "ファイルを開くのに失敗しました"
// with its path and changes nothing.
void reopen_note(HWND main_window, const wchar_t* path);

// Command 1009: the open dialog, then reopen_note with the chosen file.
void choose_note_to_reopen(HWND main_window);

// Reopens the note named by the command line's first argument, if any.
void reopen_from_command_line(HWND main_window);

// WM_DROPFILES: exactly one file is reopened; more are refused with a
// message. Releases the drop handle.
void reopen_dropped_note(HDROP drop, HWND main_window);
