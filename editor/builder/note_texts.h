// Texts that output and reopen form from a note path: the path itself and
// the editor's title.
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
