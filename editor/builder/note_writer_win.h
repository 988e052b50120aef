// Output and correction of notes: a copy of the note template on the desktop,
// named after the escaped note text, with the note's icon and settings table
// written into it.
#pragma once
#include <windows.h>

// The note path of the edit control's current text into path (NOTE_PATH_UNITS
// units): "<desktop>\<escaped text>.exe". With confirm set, the escape
// confirmation is shown when the escape option is on and something was
// escaped. False, after a message, when the desktop folder cannot be found;
// an empty path when the whole path would not fit (creating it then fails).
bool build_note_path(HWND main_window, bool confirm, wchar_t* path);

// Writes the note for the current text and look (commands 1000 and 1034).
// The note is built in a file of its own beside its path and then replaces
// whatever is there in one move. Every failure shows its message and leaves
// the file at the path, the note path, title and menu as they were; after a
// success the editor closes when quit is set.
void output_note(HWND main_window, bool quit);

// Moves the note last output or reopened to the current text's name and
// outputs over it (commands 1010 and 1033); nothing before the first output
// or reopen. All or nothing: a running note is refused with a message before
// anything changes, and a failed output moves the note back to its name.
void reflect_corrections(HWND main_window, bool quit);

// After a note was output or reopened: remembers its path, shows its file
// name in the title and enables the correction commands.
void adopt_note_path(HWND main_window, const wchar_t* path, size_t title_units);
