// The default note icon: its geometry, its icon image bytes and its group entry.
#include <gtest/gtest.h>
#include <cstring>
#include <vector>
#include "common/default_note_icon.h"

namespace {

const int ROW_BYTES = 16, MASK_BYTES = 2048, PALETTE = 40, COLOUR = 48, TRANSPARENCY = 48 + 2048;

uint32_t get32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }
uint16_t get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

// Bit of (column, row) in a mask stored bottom row first.
bool mask_bit(const uint8_t* mask, int column, int row) {
  return mask[(127 - row) * ROW_BYTES + column / 8] & (0x80 >> (column % 8));
}

struct Image {
  uint8_t bytes[DEFAULT_NOTE_ICON_BYTES];
  Image() { make_default_note_icon_image(bytes); }
};

}  // namespace

TEST(DefaultNoteIcon, SheetCornersAndFoldTriangle) {
  EXPECT_EQ(default_note_icon_pixel(17, 50), ICON_SHEET);
  EXPECT_EQ(default_note_icon_pixel(110, 122), ICON_SHEET);
  EXPECT_EQ(default_note_icon_pixel(17, 5), ICON_SHEET);
  EXPECT_EQ(default_note_icon_pixel(65, 5), ICON_SHEET);
  EXPECT_EQ(default_note_icon_pixel(110, 50), ICON_SHEET);
  // The fold's three corners.
  EXPECT_EQ(default_note_icon_pixel(66, 5), ICON_FOLD);
  EXPECT_EQ(default_note_icon_pixel(66, 49), ICON_FOLD);
  EXPECT_EQ(default_note_icon_pixel(110, 49), ICON_FOLD);
  // Just past the fold's long side: the cut-away corner of the sheet.
  EXPECT_EQ(default_note_icon_pixel(67, 5), ICON_TRANSPARENT);
  EXPECT_EQ(default_note_icon_pixel(110, 48), ICON_TRANSPARENT);
  EXPECT_EQ(default_note_icon_pixel(110, 5), ICON_TRANSPARENT);
  // Outside the sheet.
  EXPECT_EQ(default_note_icon_pixel(16, 60), ICON_TRANSPARENT);
  EXPECT_EQ(default_note_icon_pixel(111, 60), ICON_TRANSPARENT);
  EXPECT_EQ(default_note_icon_pixel(40, 4), ICON_TRANSPARENT);
  EXPECT_EQ(default_note_icon_pixel(40, 123), ICON_TRANSPARENT);
  EXPECT_EQ(default_note_icon_pixel(0, 0), ICON_TRANSPARENT);
  EXPECT_EQ(default_note_icon_pixel(127, 127), ICON_TRANSPARENT);
}

TEST(DefaultNoteIcon, PixelCountsOfSheetAndFold) {
  int sheet = 0, fold = 0;
  for (int row = 0; row < 128; ++row)
    for (int column = 0; column < 128; ++column) {
      NoteIconPixel p = default_note_icon_pixel(column, row);
      sheet += p == ICON_SHEET;
      fold += p == ICON_FOLD;
    }
  // Rows 50-122 full width (73 x 94) plus rows 5-49 columns 17-65 (45 x 49).
  EXPECT_EQ(sheet, 73 * 94 + 45 * 49);
  // Row r holds columns 66 to 61 + r: 1 + 2 + ... + 45.
  EXPECT_EQ(fold, 45 * 46 / 2);
}

TEST(DefaultNoteIcon, HeaderAndBlackAndWhitePalette) {
  Image icon;
  const uint8_t* b = icon.bytes;
  EXPECT_EQ(get32(b), 40u);
  EXPECT_EQ(get32(b + 4), 128u);
  EXPECT_EQ(get32(b + 8), 256u);
  EXPECT_EQ(get16(b + 12), 1);
  EXPECT_EQ(get16(b + 14), 1);
  for (int at = 16; at < 40; ++at) EXPECT_EQ(b[at], 0) << "header byte " << at;
  const uint8_t palette[8] = {0, 0, 0, 0, 255, 255, 255, 0};
  EXPECT_EQ(std::memcmp(b + PALETTE, palette, 8), 0);
  EXPECT_EQ(40 + 8 + 2 * MASK_BYTES, DEFAULT_NOTE_ICON_BYTES);
}

TEST(DefaultNoteIcon, MasksFollowThePixelsBottomRowFirst) {
  Image icon;
  const uint8_t* colour = icon.bytes + COLOUR;
  const uint8_t* transparency = icon.bytes + TRANSPARENCY;
  int mismatches = 0;
  for (int row = 0; row < 128; ++row)
    for (int column = 0; column < 128; ++column) {
      NoteIconPixel p = default_note_icon_pixel(column, row);
      mismatches += mask_bit(colour, column, row) != (p == ICON_FOLD);
      mismatches += mask_bit(transparency, column, row) != (p == ICON_TRANSPARENT);
    }
  EXPECT_EQ(mismatches, 0);
  // The bottom row (all transparent) is stored first, the top row last.
  for (int i = 0; i < ROW_BYTES; ++i) EXPECT_EQ(transparency[i], 0xFF);
  // Row 49 (the fold's base, columns 66-110 white) begins at line 78.
  const uint8_t* row49 = colour + 78 * ROW_BYTES;
  EXPECT_EQ(row49[8], 0x3F);   // columns 64-71: 66 to 71 set
  EXPECT_EQ(row49[13], 0xFE);  // columns 104-111: 104 to 110 set
}

TEST(DefaultNoteIcon, GroupDirectoryBytes) {
  uint8_t group[ICON_GROUP_DIR_BYTES];
  make_default_note_icon_group(group, 2);
  const uint8_t editor[20] = {0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x80, 0x80, 0x02, 0x00,
                              0x01, 0x00, 0x01, 0x00, 0x30, 0x10, 0x00, 0x00, 0x02, 0x00};
  EXPECT_EQ(std::memcmp(group, editor, 20), 0);
  // The note program's own group names its image 1.
  make_default_note_icon_group(group, 1);
  EXPECT_EQ(get16(group + 18), 1);
  EXPECT_EQ(std::memcmp(group, editor, 18), 0);
}
