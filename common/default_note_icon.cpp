// Pixels and bytes of the default note icon.
#include "common/default_note_icon.h"
#include <cstring>

namespace {
const int SHEET_LEFT = 17, SHEET_RIGHT = 110, SHEET_TOP = 5, SHEET_BOTTOM = 122;
const int FOLD_LEFT = 66, FOLD_BOTTOM = 49;
const int ROW_BYTES = 16;                     // 128 bits, already a multiple of 4 bytes
const int MASK_BYTES = ROW_BYTES * DEFAULT_NOTE_ICON_SIZE;

void put16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
void put32(uint8_t* p, uint32_t v) {
  put16(p, static_cast<uint16_t>(v));
  put16(p + 2, static_cast<uint16_t>(v >> 16));
}
}  // namespace

NoteIconPixel default_note_icon_pixel(int column, int row) {
  if (column < SHEET_LEFT || column > SHEET_RIGHT || row < SHEET_TOP || row > SHEET_BOTTOM)
    return ICON_TRANSPARENT;
  if (row > FOLD_BOTTOM || column < FOLD_LEFT) return ICON_SHEET;
  // The fold is the triangle (66, 5), (66, 49), (110, 49); the sheet's corner
  // above its long side is cut away.
  return column <= 61 + row ? ICON_FOLD : ICON_TRANSPARENT;
}

void make_default_note_icon_image(uint8_t out[DEFAULT_NOTE_ICON_BYTES]) {
  std::memset(out, 0, DEFAULT_NOTE_ICON_BYTES);
  put32(out, 40);
  put32(out + 4, DEFAULT_NOTE_ICON_SIZE);
  put32(out + 8, 2 * DEFAULT_NOTE_ICON_SIZE);  // colour mask plus transparency mask
  put16(out + 12, 1);
  put16(out + 14, 1);
  uint8_t* palette = out + 40;  // entry 0 black, entry 1 white
  palette[4] = palette[5] = palette[6] = 0xFF;
  uint8_t* colour = palette + 8;
  uint8_t* transparency = colour + MASK_BYTES;
  for (int row = 0; row < DEFAULT_NOTE_ICON_SIZE; ++row) {
    int line = (DEFAULT_NOTE_ICON_SIZE - 1 - row) * ROW_BYTES;  // bottom row first
    for (int column = 0; column < DEFAULT_NOTE_ICON_SIZE; ++column) {
      uint8_t bit = static_cast<uint8_t>(0x80 >> (column % 8));
      NoteIconPixel p = default_note_icon_pixel(column, row);
      if (p == ICON_FOLD) colour[line + column / 8] |= bit;
      if (p == ICON_TRANSPARENT) transparency[line + column / 8] |= bit;
    }
  }
}

void make_default_note_icon_group(uint8_t out[ICON_GROUP_DIR_BYTES], uint16_t icon_id) {
  std::memset(out, 0, ICON_GROUP_DIR_BYTES);
  put16(out + 2, 1);  // type: icon
  put16(out + 4, 1);  // one image
  out[6] = DEFAULT_NOTE_ICON_SIZE;
  out[7] = DEFAULT_NOTE_ICON_SIZE;
  out[8] = 2;  // colours
  put16(out + 10, 1);
  put16(out + 12, 1);
  put32(out + 14, DEFAULT_NOTE_ICON_BYTES);
  put16(out + 18, icon_id);
}
