// The note settings table's exact bytes and the reader's LoadStringW rules.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "common/note_settings_table.h"
#include "common/text16.h"

namespace {

NoteSettings example_settings() {
  NoteSettings s;
  set_default_note_settings(&s);  // margin 10, white, black, 30/0/400, MS Gothic
  return s;
}

std::vector<uint8_t> encode(const NoteSettings& s, int w, int h) {
  std::vector<uint8_t> out(NOTE_SETTINGS_TABLE_BYTES);
  out.resize(encode_note_settings(s, w, h, out.data()));
  return out;
}

std::u16string entry(const std::vector<uint8_t>& block, int id, size_t cap = 1024) {
  std::vector<char16_t> buf(cap);
  read_note_setting(block.data(), block.size(), id, buf.data(), cap);
  return buf.data();
}

}  // namespace

TEST(NoteSettingsTable, ExampleEncodesToNinetyFourBytes) {
  std::vector<uint8_t> block = encode(example_settings(), 300, 200);
  ASSERT_EQ(block.size(), 94u);
  const uint8_t start[] = {0x02, 0, 0x31, 0, 0x30, 0, 0x03, 0, 0x33, 0, 0x30, 0, 0x30, 0};
  EXPECT_TRUE(std::equal(std::begin(start), std::end(start), block.begin()));
  const char16_t* expected[] = {u"10", u"300", u"200", u"16777215", u"0", u"30", u"0",
                                u"400", u"0", u"ＭＳ ゴシック", u"0", u"", u"0", u""};
  for (int id = 0; id < NOTE_SETTING_COUNT; ++id) EXPECT_EQ(entry(block, id), expected[id]) << id;
  // Nothing follows entry 13: it is an empty entry at the very end.
  EXPECT_EQ(block[92], 0);
  EXPECT_EQ(block[93], 0);
}

TEST(NoteSettingsTable, PathsOnlyWhenEnabledAndColoursInTheirOwnOrders) {
  NoteSettings s = example_settings();
  text16_copy(s.image_path, PATH_UNITS, u"C:\\pics\\bg.bmp");
  text16_copy(s.icon_path, PATH_UNITS, u"C:\\icons\\n.ico");
  s.background_color = 255;           // pure red as COLORREF
  s.transparent_color = 0x00FF0000;   // pure red in pixel order
  s.font_height = -16;
  std::vector<uint8_t> off = encode(s, 300, 200);
  EXPECT_EQ(entry(off, NS_IMAGE_PATH), u"");
  EXPECT_EQ(entry(off, NS_ICON_PATH), u"");
  EXPECT_EQ(entry(off, NS_BACKGROUND_COLOR), u"255");
  EXPECT_EQ(entry(off, NS_TRANSPARENT_COLOR), u"16711680");
  EXPECT_EQ(entry(off, NS_FONT_HEIGHT), u"-16");
  EXPECT_EQ(text16_to_int(entry(off, NS_FONT_HEIGHT).c_str()), -16);

  s.image_enabled = s.icon_enabled = 1;
  s.auto_close_seconds = 0;
  std::vector<uint8_t> on = encode(s, -5, 0);
  EXPECT_EQ(entry(on, NS_IMAGE_PATH), u"C:\\pics\\bg.bmp");
  EXPECT_EQ(entry(on, NS_ICON_PATH), u"C:\\icons\\n.ico");
  EXPECT_EQ(entry(on, NS_AUTO_CLOSE_SECONDS), u"0");  // "0", never an empty entry
  EXPECT_EQ(entry(on, NS_CLIENT_WIDTH), u"-5");
  // Two 14-unit paths added; "-5" and "0" are 1 and 2 units shorter than "300" and "200".
  EXPECT_EQ(on.size(), off.size() + 2 * (14 + 14 - 1 - 2));
}

TEST(NoteSettingsTable, TwoMaximalPathsAreKeptWhole) {
  NoteSettings s = example_settings();
  std::u16string image(1023, u'i'), icon(1023, u'c');
  text16_copy(s.image_path, PATH_UNITS, image.c_str());
  text16_copy(s.icon_path, PATH_UNITS, icon.c_str());
  s.image_enabled = s.icon_enabled = 1;
  s.margin = s.font_height = s.font_width = s.font_weight = s.font_italic = -2147483647 - 1;
  s.auto_close_seconds = -2147483647 - 1;
  s.background_color = s.text_color = s.transparent_color = 0xFFFFFFFF;
  text16_copy(s.face_name, FACE_NAME_UNITS, std::u16string(31, u'f').c_str());
  std::vector<uint8_t> block = encode(s, -2147483647 - 1, -2147483647 - 1);
  ASSERT_LE(block.size(), size_t(NOTE_SETTINGS_TABLE_BYTES));
  EXPECT_EQ(entry(block, NS_IMAGE_PATH), image);
  EXPECT_EQ(entry(block, NS_ICON_PATH), icon);
  EXPECT_EQ(entry(block, NS_FACE_NAME), std::u16string(31, u'f'));
  EXPECT_EQ(entry(block, NS_MARGIN), u"-2147483648");
  EXPECT_EQ(entry(block, NS_TEXT_COLOR), u"4294967295");
}

TEST(NoteSettingsTable, ReaderFollowsLoadStringRules) {
  std::vector<uint8_t> block = encode(example_settings(), 300, 200);
  EXPECT_EQ(entry(block, NS_BACKGROUND_COLOR, 4), u"167");  // cut to cap - 1
  EXPECT_EQ(entry(block, NS_FACE_NAME, 32), u"ＭＳ ゴシック");
  EXPECT_EQ(entry(block, 14), u"");  // past the 14 entries
  EXPECT_EQ(entry(block, 99), u"");
  char16_t buf[8] = u"junk";
  EXPECT_EQ(read_note_setting(block.data(), block.size(), NS_IMAGE_PATH, buf, 8), 0u);
  EXPECT_EQ(buf[0], 0);
  // An entry whose count runs past the block's end reads as absent.
  std::vector<uint8_t> broken = {0x05, 0x00, 0x31, 0x00};
  EXPECT_EQ(entry(broken, 0), u"");
}
