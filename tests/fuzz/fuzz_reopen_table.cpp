// Reading a reopened note's look from an arbitrary settings table block.
#include <cstdlib>
#include "common/note_settings_table.h"
#include "common/text16.h"
#include "editor/builder/note_reopen.h"

namespace {
struct Block {
  const uint8_t* data;
  size_t size;
};
size_t read_entry(void* c, int id, char16_t* buf, size_t cap) {
  Block* b = static_cast<Block*>(c);
  return read_note_setting(b->data, b->size, id, buf, cap);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Block block{data, size};
  ReopenedNote note;
  if (!read_reopened_note(NoteTableReader{&block, read_entry}, &note)) return 0;
  if (text16_length(note.settings.face_name) > 31) abort();
  if (text16_length(note.settings.image_path) > 1023 || text16_length(note.settings.icon_path) > 1023) abort();
  // A non-empty path always enables its option (an entry of NUL units may
  // enable it with an empty path, which reopen treats as off).
  if (note.settings.image_path[0] && !note.settings.image_enabled) abort();
  if (note.settings.icon_path[0] && !note.settings.icon_enabled) abort();
  char16_t message[OPEN_FAILURE_UNITS];
  format_open_failure(note.settings.icon_path, message, OPEN_FAILURE_UNITS);
  return 0;
}
