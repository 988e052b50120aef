// The settings table reader over arbitrary blocks, and the encoder over
// arbitrary settings read back entry by entry.
#include <cstdlib>
#include <cstring>
#include <vector>
#include "common/note_settings_table.h"
#include "common/text16.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const size_t CAPS[] = {1, 16, 32, 1024};
  for (int id = -1; id <= 16; ++id)
    for (size_t cap : CAPS) {
      std::vector<char16_t> buf(cap);
      size_t n = read_note_setting(data, size, id, buf.data(), cap);
      if (n >= cap || buf[n] != 0) abort();
    }

  // The same bytes as a settings record with terminated texts.
  NoteSettings s;
  set_default_note_settings(&s);
  std::memcpy(&s, data, size < sizeof s ? size : sizeof s);
  s.face_name[FACE_NAME_UNITS - 1] = 0;
  s.image_path[PATH_UNITS - 1] = 0;
  s.icon_path[PATH_UNITS - 1] = 0;
  std::vector<uint8_t> block(NOTE_SETTINGS_TABLE_BYTES);
  size_t bytes = encode_note_settings(s, s.margin ^ 7, s.font_width ^ 11, block.data());
  if (bytes > NOTE_SETTINGS_TABLE_BYTES) abort();
  char16_t entry[1024];
  read_note_setting(block.data(), bytes, NS_FACE_NAME, entry, 1024);
  if (!text16_equal(entry, s.face_name)) abort();
  read_note_setting(block.data(), bytes, NS_ICON_PATH, entry, 1024);
  if (!text16_equal(entry, s.icon_enabled ? s.icon_path : u"")) abort();
  read_note_setting(block.data(), bytes, NS_IMAGE_PATH, entry, 1024);
  if (!text16_equal(entry, s.image_enabled ? s.image_path : u"")) abort();
  read_note_setting(block.data(), bytes, NS_FONT_HEIGHT, entry, 1024);
  if (text16_to_int(entry) != s.font_height) abort();
  return 0;
}
