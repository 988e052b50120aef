// Reading a note's settings table back into the editor's look, the portable
// part: which entries are required, in which order, and where each goes.
#pragma once
#include <cstddef>
#include <cstdint>
#include "common/note_settings.h"

enum { REOPEN_ENTRY_UNITS = 1024, OPEN_FAILURE_UNITS = 1024 };

// Entry id of a note's table into buf (cap units) with the string loader's
// rules: cut to cap - 1 units, terminated; returns the units copied, 0 for an
// absent or empty entry.
struct NoteTableReader {
  void* context;
  size_t (*read)(void* context, int id, char16_t* buf, size_t cap);
};

// What a reopened note holds: its look and the client size it was written with.
struct ReopenedNote {
  NoteSettings settings;
  int32_t client_width;
  int32_t client_height;
};

// Reads the required entries 0 to 8, 10, 12 and then 9 and the optional 11
// and 13 into out. Returns false at the first required entry that is absent
// or empty; out is then incomplete and must not be used. The face name is cut
// to 31 units; an image or icon path enables its option when it is not empty.
bool read_reopened_note(const NoteTableReader& reader, ReopenedNote* out);

// "ファイルを開くのに失敗しました\n\n" followed by path, cut to fit cap units.
void format_open_failure(const char16_t* path, char16_t* out, size_t cap);
