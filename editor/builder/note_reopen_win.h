// Reading a note back for correction: its settings table, the text its file
// name carries and the client size it was written with. The editor's window
// applies what was read; nothing here touches a window.
#pragma once
#include <windows.h>
#include "common/note_name_codec.h"
#include "common/note_settings.h"
#include "editor/builder/note_reopen.h"

// What a note file holds for the editor.
struct ReopenedNoteFile {
  ReopenedNote note;                // the look and the client size
  wchar_t text[NOTE_TEXT_UNITS];    // the note text: the file name, extension cut, unescaped
  wchar_t path[NOTE_PATH_UNITS];    // the note's full path (as given when that would not fit)
};

// Reads the note at path (a relative one from the current folder) into out.
// False when the file cannot be mapped or lacks a required entry; out is then
// not to be used. No code of the file ever runs: it is mapped as image
// resources only.
bool read_note_file(const wchar_t* path, ReopenedNoteFile* out);
