// Defaults of NoteSettings.
#include "common/note_settings.h"
#include "common/text16.h"
#include <cstring>

const char16_t DEFAULT_FACE_NAME[] = u"\uFF2D\uFF33 \u30B4\u30B7\u30C3\u30AF";

void set_default_note_settings(NoteSettings* s) {
  std::memset(s, 0, sizeof *s);
  s->margin = 10;
  s->background_color = 0x00FFFFFF;
  s->text_color = 0;
  s->font_height = 30;
  s->font_width = 0;
  s->font_weight = 400;
  text16_copy(s->face_name, FACE_NAME_UNITS, DEFAULT_FACE_NAME);
}
