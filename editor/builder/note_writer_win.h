// Output and correction of notes as plain data: a copy of the note template
// in a destination folder, named after the escaped note text, with the note's
// icon and settings table written into it. The editor's window gathers the
// inputs and applies the result; nothing here touches a window.
#pragma once
#include <windows.h>
#include "common/note_name_codec.h"
#include "common/note_settings.h"
#include "editor/builder/note_texts.h"

// The note template inside the editor: resource "VEMTO" with this id.
enum { NOTE_TEMPLATE_ID = 3 };

// What an output or a correction needs.
struct NoteOutput {
  HINSTANCE resources;         // carries the note template and the default note icon
  const wchar_t* text;         // the note text
  const NoteSettings* look;
  int client_width, client_height;  // the preview's client size: the note's size
  const wchar_t* folder;       // destination folder (the desktop); empty when it could not be found
  const wchar_t* correcting;   // correction only: the note being corrected
  // Called once the path is formed and before anything is written, when the
  // text needed escaping; may be null. The escape confirmation goes here.
  void (*escaped)(void* context, const EscapeCounts& counts);
  void* context;
};

// What happened. failure is NOTE_WRITE_OK after a success; note_path then
// names the note written. After a failed correction note_path names where
// the note now is: its old path, or the new one when it could not be moved
// back (moved_back_failed).
struct NoteWriteResult {
  NoteWriteFailure failure;
  bool icon_unreadable;    // the icon template could not be read; the default icon was used
  bool moved_back_failed;
  bool renamed;            // a correction moved the note to its new name (success only)
  bool old_note_kept;      // a correction across volumes wrote the note, but its old file stays
  wchar_t note_path[NOTE_PATH_UNITS];
};

// Writes the note of in.text and in.look into in.folder (commands 1000 and
// 1034). The note is built in a file of its own beside its path, flushed to
// disk and then put in the path's place in one move: every failure leaves the
// file at the path as it was. Removes temporary files that a killed editor
// left in the folder more than ten minutes ago.
void write_note_file(const NoteOutput& in, NoteWriteResult* out);

// Moves the note in.correcting to the name of in.text in in.folder and writes
// it there (commands 1010 and 1033). All or nothing: a running note is refused
// before anything changes, and after a failed output the note goes back to
// its old name (checked and retried). A note on another volume is not moved:
// the new note is written first and the old one deleted after.
void write_corrected_note(const NoteOutput& in, NoteWriteResult* out);

// The desktop folder into folder (PATH_UNITS units); false when unknown.
bool find_desktop_folder(wchar_t* folder);
