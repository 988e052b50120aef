// The note settings table: string block 1 of a note, 14 length-prefixed
// UTF-16 entries that carry the look from the editor to the note.
#pragma once
#include <cstddef>
#include <cstdint>
#include "common/note_settings.h"

enum NoteSettingId {
  NS_MARGIN = 0,
  NS_CLIENT_WIDTH = 1,
  NS_CLIENT_HEIGHT = 2,
  NS_BACKGROUND_COLOR = 3,
  NS_TEXT_COLOR = 4,
  NS_FONT_HEIGHT = 5,
  NS_FONT_WIDTH = 6,
  NS_FONT_WEIGHT = 7,
  NS_FONT_ITALIC = 8,
  NS_FACE_NAME = 9,
  NS_AUTO_CLOSE_SECONDS = 10,
  NS_IMAGE_PATH = 11,
  NS_TRANSPARENT_COLOR = 12,
  NS_ICON_PATH = 13,
  NOTE_SETTING_COUNT = 14
};

// Room for the largest possible table: 14 counts, eleven numbers of up to
// 11 units, a face name of 31 and two paths of 1023 units each (2212 units).
enum { NOTE_SETTINGS_TABLE_BYTES = 4608 };

// Encodes s and the client size into out (NOTE_SETTINGS_TABLE_BYTES, cleared
// first). Entry 11 is empty unless image_enabled, entry 13 unless
// icon_enabled. Returns the block's size in bytes: 28 + 2 x the text units.
size_t encode_note_settings(const NoteSettings& s, int32_t client_width, int32_t client_height,
                            uint8_t* out);

// Reads entry id of a string block the way LoadStringW does: at most cap - 1
// units are copied, the copy is terminated, the result is the units copied.
// An absent entry, or one running past the block's end, yields 0 and "".
size_t read_note_setting(const uint8_t* block, size_t block_size, int id, char16_t* buf,
                         size_t cap);
