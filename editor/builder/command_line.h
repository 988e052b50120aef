// The first argument of the editor's command line: the note to reopen.
#pragma once
#include "common/note_name_codec.h"

// Skips the program name of line (quoted or not) and the blanks after it,
// then terminates the first argument in place and returns it; nullptr when
// there is none. A quoted argument runs to the first double quote followed by
// a blank or the end (nullptr when no such quote closes it); an unquoted one
// to the first blank. Blank means U+0020 only.
char16_t* first_command_line_argument(char16_t* line, const CharStepper& step = UTF16_STEPPER);
