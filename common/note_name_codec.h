// Note name codec: a note's text travels in its file name. Escaping turns the
// text into a name a file system accepts; unescaping turns it back.
#pragma once
#include <cstddef>
#include "common/text16.h"

enum { ESCAPE_ROWS = 11, NOTE_TEXT_UNITS = 1024, ESCAPE_MESSAGE_UNITS = 1024 };

// Number of times each escape table row was applied, in table order
// (backslash, slash, colon, asterisk, question mark, double quote, less-than,
// greater-than, vertical line, line break, comma).
struct EscapeCounts {
  int rows[ESCAPE_ROWS];
};

// Escapes text into name (capacity NOTE_TEXT_UNITS). The name holds at most
// 1022 units, 1023 when it ends with an escape pair; the rest of a longer
// text is dropped. Returns true when any row was applied.
bool escape_note_text(const char16_t* text, char16_t* name, EscapeCounts* counts);

// Formats the six-line confirmation message with the eleven counts into
// message (capacity cap). Returns the units written.
size_t format_escape_message(const EscapeCounts& counts, char16_t* message, size_t cap);

// Unescapes a name (at most 1023 units used) into text (capacity
// NOTE_TEXT_UNITS). Never fails; a comma without a known substitute stays.
void unescape_note_name(const char16_t* name, char16_t* text);

// How a scan steps over characters. The core default steps over UTF-16 code
// units keeping surrogate pairs whole; the Win32 layer passes CharPrevW/CharNextW.
struct CharStepper {
  const char16_t* (*prev)(const char16_t* start, const char16_t* current);
  const char16_t* (*next)(const char16_t* current);
};
extern const CharStepper UTF16_STEPPER;

// Cuts name in place at its last full stop (a leading one empties the name).
void strip_extension(char16_t* name, const CharStepper& step = UTF16_STEPPER);

// The part of path after its last backslash; the whole path when it has none.
const char16_t* path_file_name(const char16_t* path, const CharStepper& step = UTF16_STEPPER);

// True when Windows keeps file_name for a device (CON, PRN, AUX, NUL, COM1 to
// COM9, LPT1 to LPT9, in any case): the part before the first full stop,
// trailing blanks and full stops dropped, is one of them. Such a name opens
// the device, whatever its extension.
bool is_reserved_device_name(const char16_t* file_name);
