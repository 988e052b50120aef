// The reopen order of a note's settings table and the open-failure message.
#include "editor/builder/note_reopen.h"
#include "common/text16.h"

namespace {

// Required numeric entries in the order they are read.
const int NUMBER_ORDER[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 10, 12};

void store_number(ReopenedNote* out, int id, int32_t value) {
  NoteSettings& s = out->settings;
  switch (id) {
    case 0: s.margin = value; break;
    case 1: out->client_width = value; break;
    case 2: out->client_height = value; break;
    case 3: s.background_color = static_cast<uint32_t>(value); break;
    case 4: s.text_color = static_cast<uint32_t>(value); break;
    case 5: s.font_height = value; break;
    case 6: s.font_width = value; break;
    case 7: s.font_weight = value; break;
    case 8: s.font_italic = value; break;
    case 10: s.auto_close_seconds = value; break;
    default: s.transparent_color = static_cast<uint32_t>(value); break;
  }
}

}  // namespace

bool read_reopened_note(const NoteTableReader& reader, ReopenedNote* out) {
  char16_t entry[REOPEN_ENTRY_UNITS];
  for (int id : NUMBER_ORDER) {
    if (reader.read(reader.context, id, entry, REOPEN_ENTRY_UNITS) == 0) return false;
    store_number(out, id, text16_to_int(entry));
  }
  if (reader.read(reader.context, 9, entry, REOPEN_ENTRY_UNITS) == 0) return false;
  // The editor never writes a longer face; a foreign table's is cut to fit.
  text16_copy(out->settings.face_name, FACE_NAME_UNITS, entry);
  NoteSettings& s = out->settings;
  s.image_enabled = reader.read(reader.context, 11, s.image_path, PATH_UNITS) != 0;
  s.icon_enabled = reader.read(reader.context, 13, s.icon_path, PATH_UNITS) != 0;
  return true;
}

void format_open_failure(const char16_t* path, char16_t* out, size_t cap) {
  text16_copy(out, cap, u"ファイルを開くのに失敗しました\n\n");
  text16_append(out, cap, path);
}
