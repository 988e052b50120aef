// The default note icon: a 128 x 128, 1-bit sheet of paper with a folded
// corner. It is the note program's icon image 1 and the editor's icon image 2,
// drawn at build time from the geometry below.
#pragma once
#include <cstdint>

enum {
  DEFAULT_NOTE_ICON_SIZE = 128,
  DEFAULT_NOTE_ICON_BYTES = 4144,  // header 40 + palette 8 + two masks of 2048
  ICON_GROUP_DIR_BYTES = 20
};

// What a pixel of the default note icon is.
enum NoteIconPixel { ICON_TRANSPARENT, ICON_SHEET, ICON_FOLD };

// The pixel at (column, row), row 0 at the top.
NoteIconPixel default_note_icon_pixel(int column, int row);

// Writes the icon image (RT_ICON data): header, black and white palette,
// colour mask, transparency mask.
void make_default_note_icon_image(uint8_t out[DEFAULT_NOTE_ICON_BYTES]);

// Writes the group directory (RT_GROUP_ICON data) naming icon id icon_id.
void make_default_note_icon_group(uint8_t out[ICON_GROUP_DIR_BYTES], uint16_t icon_id);
