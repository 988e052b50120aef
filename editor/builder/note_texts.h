// Texts that output and reopen form from a note path: the path itself, the
// editor's title, the names of the writer's temporary files and the messages
// of a failed output.
#pragma once
#include <cstddef>
#include "common/note_name_codec.h"

// "<desktop>\<name>.exe" into out (cap units). False, with out empty, when
// the whole path does not fit: a cut path would name another file.
bool format_note_path(const char16_t* desktop, const char16_t* name, char16_t* out, size_t cap);

// "Tessark - " and the file name part of note_path (after its last
// backslash, extension included), cut to fit cap units.
void format_editor_title(const char16_t* note_path, char16_t* out, size_t cap,
                         const CharStepper& step = UTF16_STEPPER);

// Whether name is one of the writer's temporary files, "~tessark-<n>-<n>.tmp"
// (decimal numbers; any case), and nothing else.
bool is_note_temp_name(const char16_t* name);

// The step at which an output or a correction failed.
enum NoteWriteFailure {
  NOTE_WRITE_OK,
  NOTE_WRITE_NO_FOLDER,         // the desktop folder is unknown
  NOTE_WRITE_NO_TEMPLATE,       // the editor carries no note template
  NOTE_WRITE_CREATE_FAILED,     // no file can be made at the note path
  NOTE_WRITE_WRITE_FAILED,      // the copy was not written whole or not flushed
  NOTE_WRITE_RESOURCES_FAILED,  // the resource update failed
  NOTE_WRITE_NOTE_RUNNING,      // the note being corrected is running
};

// The message the editor shows for failure (empty for NOTE_WRITE_OK).
const char16_t* note_write_message(NoteWriteFailure failure);

// The message after a failed correction whose note could not go back to its
// old name: it says where the note now is. Cut to fit cap units.
void format_moved_back_failure(const char16_t* note_path, char16_t* out, size_t cap);

// The message after a correction across volumes that wrote the note but could
// not delete the old one: it says where the old one is. Cut to fit cap units.
void format_old_note_kept(const char16_t* old_path, char16_t* out, size_t cap);
