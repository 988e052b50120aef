// Reading a note's settings table back into the editor's look, and the texts
// that output and reopen form from a note path.
#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include <vector>
#include "common/note_settings_table.h"
#include "common/text16.h"
#include "editor/builder/note_reopen.h"
#include "editor/builder/note_texts.h"

namespace {

// A string block as written by the editor, with entries that can be blanked.
struct Block {
  std::vector<uint8_t> bytes;
  std::vector<int> asked;
};

size_t read_block(void* context, int id, char16_t* buf, size_t cap) {
  Block* b = static_cast<Block*>(context);
  b->asked.push_back(id);
  return read_note_setting(b->bytes.data(), b->bytes.size(), id, buf, cap);
}

// A string block built entry by entry (for tables no editor would write).
std::vector<uint8_t> block_of(const std::vector<std::u16string>& entries) {
  std::vector<uint8_t> out;
  for (const auto& e : entries) {
    out.push_back(static_cast<uint8_t>(e.size()));
    out.push_back(static_cast<uint8_t>(e.size() >> 8));
    for (char16_t c : e) {
      out.push_back(static_cast<uint8_t>(c));
      out.push_back(static_cast<uint8_t>(c >> 8));
    }
  }
  return out;
}

NoteSettings sample() {
  NoteSettings s;
  set_default_note_settings(&s);
  s.margin = 7;
  s.background_color = 0x0000FFFF;
  s.text_color = 0x00FF0000;
  s.font_height = -16;
  s.font_width = 3;
  s.font_weight = 700;
  s.font_italic = 1;
  text16_copy(s.face_name, FACE_NAME_UNITS, u"IPAGothic");
  s.auto_close_seconds = 0;
  s.image_enabled = 1;
  text16_copy(s.image_path, PATH_UNITS, u"C:\\pics\\back.bmp");
  s.transparent_color = 0x00FF0000;
  s.icon_enabled = 1;
  text16_copy(s.icon_path, PATH_UNITS, u"C:\\icons\\a.ico");
  return s;
}

bool reopen(Block& b, ReopenedNote* out) {
  NoteTableReader reader = {&b, read_block};
  return read_reopened_note(reader, out);
}

}  // namespace

TEST(ReopenTable, WhatOutputWritesComesBackField) {
  NoteSettings s = sample();
  Block b;
  b.bytes.resize(NOTE_SETTINGS_TABLE_BYTES);
  b.bytes.resize(encode_note_settings(s, 321, 123, b.bytes.data()));
  ReopenedNote r;
  std::memset(&r, 0x77, sizeof r);
  ASSERT_TRUE(reopen(b, &r));
  EXPECT_EQ(r.client_width, 321);
  EXPECT_EQ(r.client_height, 123);
  EXPECT_EQ(r.settings.margin, 7);
  EXPECT_EQ(r.settings.background_color, 0x0000FFFFu);
  EXPECT_EQ(r.settings.text_color, 0x00FF0000u);
  EXPECT_EQ(r.settings.font_height, -16);
  EXPECT_EQ(r.settings.font_width, 3);
  EXPECT_EQ(r.settings.font_weight, 700);
  EXPECT_EQ(r.settings.font_italic, 1);
  EXPECT_EQ(std::u16string(r.settings.face_name), u"IPAGothic");
  EXPECT_EQ(r.settings.auto_close_seconds, 0);
  EXPECT_EQ(r.settings.transparent_color, 0x00FF0000u);
  EXPECT_EQ(r.settings.image_enabled, 1);
  EXPECT_EQ(std::u16string(r.settings.image_path), u"C:\\pics\\back.bmp");
  EXPECT_EQ(r.settings.icon_enabled, 1);
  EXPECT_EQ(std::u16string(r.settings.icon_path), u"C:\\icons\\a.ico");
  // Required numbers first, the face after them, the two paths last.
  EXPECT_EQ(b.asked, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 10, 12, 9, 11, 13}));
}

TEST(ReopenTable, EmptyPathsLeaveBothOptionsOff) {
  NoteSettings s = sample();
  s.image_enabled = 0;  // the path stays in the record but is not written
  s.icon_enabled = 0;
  Block b;
  b.bytes.resize(NOTE_SETTINGS_TABLE_BYTES);
  b.bytes.resize(encode_note_settings(s, 300, 200, b.bytes.data()));
  ReopenedNote r;
  std::memset(&r, 0x77, sizeof r);
  ASSERT_TRUE(reopen(b, &r));
  EXPECT_EQ(r.settings.image_enabled, 0);
  EXPECT_EQ(r.settings.icon_enabled, 0);
  EXPECT_EQ(r.settings.image_path[0], 0);
  EXPECT_EQ(r.settings.icon_path[0], 0);
}

TEST(ReopenTable, TheNoteTemplatesOwnTableIsAccepted) {
  // The template's block: 16 entries, the last three empty.
  Block b;
  b.bytes = block_of({u"10", u"300", u"200", u"0", u"255", u"30", u"0", u"400", u"0",
                      u"ＭＳ ゴシック", u"10", u"", u"0", u"", u"", u""});
  EXPECT_EQ(b.bytes.size(), 90u);
  ReopenedNote r;
  ASSERT_TRUE(reopen(b, &r));
  EXPECT_EQ(r.settings.background_color, 0u);
  EXPECT_EQ(r.settings.text_color, 255u);
  EXPECT_EQ(r.settings.auto_close_seconds, 10);
  EXPECT_EQ(std::u16string(r.settings.face_name), u"ＭＳ ゴシック");
  EXPECT_EQ(r.settings.image_enabled, 0);
}

TEST(ReopenTable, AnyMissingOrEmptyRequiredEntryFailsAtThatEntry) {
  const int required[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12};
  for (int blank : required) {
    std::vector<std::u16string> entries = {u"1", u"2", u"3", u"4", u"5", u"6", u"7",
                                           u"8", u"9", u"F", u"11", u"", u"13", u""};
    entries[blank] = u"";
    Block b;
    b.bytes = block_of(entries);
    ReopenedNote r;
    EXPECT_FALSE(reopen(b, &r)) << "entry " << blank;
    EXPECT_EQ(b.asked.back(), blank) << "stops at the blank entry";
  }
  // No table at all, and a table that ends after entry 5.
  Block none;
  ReopenedNote r;
  EXPECT_FALSE(reopen(none, &r));
  Block cut;
  cut.bytes = block_of({u"1", u"2", u"3", u"4", u"5", u"6"});
  EXPECT_FALSE(reopen(cut, &r));
}

TEST(ReopenTable, NumbersFollowTheDecimalConversionAndLongFacesAreCut) {
  std::u16string long_face(40, u'Ｗ');
  Block b;
  b.bytes = block_of({u" -5px", u"abc", u"+20", u"16777215", u"4294967295", u"-16", u"0",
                      u"400", u"0", long_face, u"9", u"C:\\b.bmp", u"16711680", u""});
  ReopenedNote r;
  ASSERT_TRUE(reopen(b, &r));
  EXPECT_EQ(r.settings.margin, -5);
  EXPECT_EQ(r.client_width, 0);  // present but not a number: 0, not a failure
  EXPECT_EQ(r.client_height, 20);
  EXPECT_EQ(r.settings.background_color, 16777215u);
  EXPECT_EQ(r.settings.text_color, 0x7FFFFFFFu);  // the conversion saturates
  EXPECT_EQ(r.settings.transparent_color, 16711680u);
  EXPECT_EQ(std::u16string(r.settings.face_name), long_face.substr(0, 31));
  EXPECT_EQ(r.settings.image_enabled, 1);
  EXPECT_EQ(r.settings.icon_enabled, 0);
}

TEST(ReopenTable, PathsLongerThanTheirFieldsArriveCut) {
  std::u16string path(1500, u'p');
  Block b;
  b.bytes = block_of({u"1", u"2", u"3", u"4", u"5", u"6", u"7", u"8", u"9", u"F", u"11",
                      path, u"13", path});
  ReopenedNote r;
  ASSERT_TRUE(reopen(b, &r));
  EXPECT_EQ(text16_length(r.settings.image_path), 1023u);
  EXPECT_EQ(text16_length(r.settings.icon_path), 1023u);
}

TEST(NoteTexts, OpenFailureMessageNamesThePathAndIsBounded) {
  char16_t msg[OPEN_FAILURE_UNITS];
  format_open_failure(u"C:\\notes\\a.txt", msg, OPEN_FAILURE_UNITS);
  EXPECT_EQ(std::u16string(msg), u"ファイルを開くのに失敗しました\n\nC:\\notes\\a.txt");
  format_open_failure(u"", msg, OPEN_FAILURE_UNITS);
  EXPECT_EQ(std::u16string(msg), u"ファイルを開くのに失敗しました\n\n");
  std::u16string long_path(2047, u'x');
  format_open_failure(long_path.c_str(), msg, OPEN_FAILURE_UNITS);
  EXPECT_EQ(text16_length(msg), 1023u);
}

TEST(NoteTexts, NotePathIsDesktopNameAndExeOrNothing) {
  char16_t path[2048];
  ASSERT_TRUE(format_note_path(u"C:\\users\\root\\Desktop", u"Buy milk", path, 2048));
  EXPECT_EQ(std::u16string(path), u"C:\\users\\root\\Desktop\\Buy milk.exe");
  ASSERT_TRUE(format_note_path(u"D:\\", u"", path, 2048));  // empty text: ".exe"
  EXPECT_EQ(std::u16string(path), u"D:\\\\.exe");
  // A path that would be cut is refused rather than naming another file.
  std::u16string desktop(1023, u'd'), name(1023, u'n');
  EXPECT_FALSE(format_note_path(desktop.c_str(), name.c_str(), path, 2048));
  EXPECT_EQ(path[0], 0);
  std::u16string fits(2048 - 1 - 1 - 4 - 1, u'n');  // exactly 2047 units in all
  ASSERT_TRUE(format_note_path(u"d", fits.c_str(), path, 2048));
  EXPECT_EQ(text16_length(path), 2047u);
}

TEST(NoteTexts, TitleShowsTheFileNameWithItsExtension) {
  char16_t title[1024];
  format_editor_title(u"C:\\users\\root\\Desktop\\Buy milk.exe", title, 1024);
  EXPECT_EQ(std::u16string(title), u"Tessark - Buy milk.exe");
  format_editor_title(u"Z:\\tmp\\a,.b.exe", title, 1024);
  EXPECT_EQ(std::u16string(title), u"Tessark - a,.b.exe");
  std::u16string long_name = u"C:\\" + std::u16string(2000, u'x');
  format_editor_title(long_name.c_str(), title, 1024);
  EXPECT_EQ(text16_length(title), 1023u);
}

TEST(NoteTexts, OnlyTheWritersOwnTemporaryNamesAreItsOwn) {
  for (const char16_t* name : {u"~tessark-1-0.tmp", u"~TESSARK-4294967295-99.TMP"})
    EXPECT_TRUE(is_note_temp_name(name)) << std::u16string(name).size();
  for (const char16_t* name : {u"notes.tmp", u"~tessark-1-0.tmp.exe", u"~tessark--0.tmp", u"~tessark-1-.tmp",
                               u"~tessark-1-0.tm", u"~tessark-a-0.tmp", u"x~tessark-1-0.tmp", u""})
    EXPECT_FALSE(is_note_temp_name(name)) << std::u16string(name).size();
}
