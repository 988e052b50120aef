// Encoding of the note settings table and a reader with LoadStringW's rules.
#include "common/note_settings_table.h"
#include "common/text16.h"
#include <cstring>

namespace {

const size_t TABLE_UNITS = NOTE_SETTINGS_TABLE_BYTES / 2;

// Entry id's text; numbers are formatted into scratch.
const char16_t* entry_text(const NoteSettings& s, int32_t width, int32_t height, int id,
                           char16_t* scratch) {
  int64_t number;
  switch (id) {
    case NS_MARGIN: number = s.margin; break;
    case NS_CLIENT_WIDTH: number = width; break;
    case NS_CLIENT_HEIGHT: number = height; break;
    case NS_BACKGROUND_COLOR: number = s.background_color; break;
    case NS_TEXT_COLOR: number = s.text_color; break;
    case NS_FONT_HEIGHT: number = s.font_height; break;
    case NS_FONT_WIDTH: number = s.font_width; break;
    case NS_FONT_WEIGHT: number = s.font_weight; break;
    case NS_FONT_ITALIC: number = s.font_italic; break;
    case NS_FACE_NAME: return s.face_name;
    case NS_AUTO_CLOSE_SECONDS: number = s.auto_close_seconds; break;
    case NS_IMAGE_PATH: return s.image_enabled ? s.image_path : u"";
    case NS_TRANSPARENT_COLOR: number = s.transparent_color; break;
    default: return s.icon_enabled ? s.icon_path : u"";
  }
  text16_from_int(scratch, 24, number);
  return scratch;
}

}  // namespace

size_t encode_note_settings(const NoteSettings& s, int32_t client_width, int32_t client_height,
                            uint8_t* out) {
  std::memset(out, 0, NOTE_SETTINGS_TABLE_BYTES);
  size_t used = 0;
  for (int id = 0; id < NOTE_SETTING_COUNT; ++id) {
    char16_t scratch[24];
    const char16_t* text = entry_text(s, client_width, client_height, id, scratch);
    size_t count_at = used++;
    // Texts are bounded by their fields (a face of 31, paths of 1023 units),
    // so the buffer always has room; the bound only guards a broken record.
    size_t room = TABLE_UNITS - used;
    size_t n = 0;
    while (text[n] && n < room && n < PATH_UNITS - 1) {
      out[2 * (used + n)] = static_cast<uint8_t>(text[n] & 0xFF);
      out[2 * (used + n) + 1] = static_cast<uint8_t>(text[n] >> 8);
      ++n;
    }
    out[2 * count_at] = static_cast<uint8_t>(n & 0xFF);
    out[2 * count_at + 1] = static_cast<uint8_t>(n >> 8);
    used += n;
  }
  return 2 * used;
}

size_t read_note_setting(const uint8_t* block, size_t block_size, int id, char16_t* buf,
                         size_t cap) {
  if (cap == 0) return 0;
  buf[0] = 0;
  if (id < 0 || id > 15) return 0;
  size_t at = 0;
  for (int i = 0;; ++i) {
    if (at + 2 > block_size) return 0;
    size_t count = block[at] | (block[at + 1] << 8);
    at += 2;
    if (i == id) {
      if (at + 2 * count > block_size) return 0;
      size_t n = count < cap - 1 ? count : cap - 1;
      for (size_t k = 0; k < n; ++k)
        buf[k] = static_cast<char16_t>(block[at + 2 * k] | (block[at + 2 * k + 1] << 8));
      buf[n] = 0;
      return n;
    }
    at += 2 * count;
  }
}
