// NoteSettings: the look of a note as the editor holds it and as a note's
// settings table carries it. Colours: COLORREF 0x00BBGGRR, except
// transparent_color, which is in DIB pixel order 0x00RRGGBB.
#pragma once
#include <cstdint>

enum {
  FACE_NAME_UNITS = 32,   // face name with terminator
  PATH_UNITS = 1024,      // image and icon paths, note text, settings path
  NOTE_PATH_UNITS = 2048  // full note paths
};

struct NoteSettings {
  int32_t margin;
  uint32_t background_color;
  uint32_t text_color;
  int32_t font_height;
  int32_t font_width;
  int32_t font_weight;
  int32_t font_italic;
  char16_t face_name[FACE_NAME_UNITS];
  int32_t auto_close_seconds;
  int32_t image_enabled;
  char16_t image_path[PATH_UNITS];
  uint32_t transparent_color;
  int32_t icon_enabled;
  char16_t icon_path[PATH_UNITS];
};

// "ＭＳ ゴシック", the default face (MS Gothic in Japanese).
extern const char16_t DEFAULT_FACE_NAME[];

// Fills s with the defaults of a first run: margin 10, white background,
// black text, font 30/0/400 upright in the default face, never closing,
// no background image, transparent black, no icon template.
void set_default_note_settings(NoteSettings* s);
