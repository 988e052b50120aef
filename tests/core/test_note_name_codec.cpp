// Escaping note texts into file names and back, with the limits and the
// confirmation message.
#include <gtest/gtest.h>
#include <string>
#include "common/note_name_codec.h"

namespace {

struct Escaped {
  std::u16string name;
  EscapeCounts counts;
  bool escaped;
};

Escaped escape(const std::u16string& text) {
  char16_t name[NOTE_TEXT_UNITS];
  Escaped e;
  e.escaped = escape_note_text(text.c_str(), name, &e.counts);
  e.name = name;
  return e;
}

std::u16string unescape(const std::u16string& name) {
  char16_t text[NOTE_TEXT_UNITS];
  unescape_note_name(name.c_str(), text);
  return text;
}

}  // namespace

TEST(NoteNameCodec, EscapesEachForbiddenCharacterAndCountsIt) {
  Escaped e = escape(u"\\/:*?\"<>|\r\n,");
  EXPECT_EQ(e.name, u",￥,／,：,＊,？,”,＜,＞,｜,.,,");
  EXPECT_TRUE(e.escaped);
  for (int r = 0; r < ESCAPE_ROWS; ++r) EXPECT_EQ(e.counts.rows[r], 1) << "row " << r;

  Escaped plain = escape(u"Buy milk v1.2 ￥：");
  EXPECT_EQ(plain.name, u"Buy milk v1.2 ￥：");
  EXPECT_FALSE(plain.escaped);

  Escaped comma = escape(u"a,b");
  EXPECT_EQ(comma.name, u"a,,b");
  EXPECT_EQ(comma.counts.rows[10], 1);
}

TEST(NoteNameCodec, LineBreakConsumesTheUnitAfterCrAndAFinalCrEndsTheText) {
  EXPECT_EQ(escape(u"\r\n").name, u",.");
  EXPECT_EQ(escape(u"a\r\nb").name, u"a,.b");
  EXPECT_EQ(escape(u"a\rXb").name, u"a,.b");  // the unit after CR is taken whatever it is
  Escaped final_cr = escape(u"a\r");
  EXPECT_EQ(final_cr.name, u"a,.");
  EXPECT_EQ(final_cr.counts.rows[9], 1);
  EXPECT_EQ(escape(u"\n").name, u"\n");  // a lone LF is not a line break
}

TEST(NoteNameCodec, RoundTripsTextsWithinTheLimits) {
  const std::u16string texts[] = {u"", u"a,b", u"\r\n", u"C:\\dir\\file?", u"x,,y\r\nz|<>\"*",
                                  u"日本語のメモ\r\n2行目", u"￥ is not escaped", u",."};
  for (const auto& text : texts) EXPECT_EQ(unescape(escape(text).name), text);
}

TEST(NoteNameCodec, UnescapeKeepsCommasWithoutAKnownSubstitute) {
  EXPECT_EQ(unescape(u",x"), u",x");
  EXPECT_EQ(unescape(u"end,"), u"end,");
  EXPECT_EQ(unescape(u",,,"), u",,");
  EXPECT_EQ(unescape(u",.abc"), u"\r\nabc");
  EXPECT_EQ(unescape(u"Hello,？"), u"Hello?");
  EXPECT_EQ(unescape(u""), u"");
}

TEST(NoteNameCodec, LongTextsAreCutAtTheLimits) {
  Escaped letters = escape(std::u16string(1023, u'a'));
  EXPECT_EQ(letters.name, std::u16string(1022, u'a'));

  Escaped commas = escape(std::u16string(1023, u','));
  EXPECT_EQ(commas.name.size(), 1022u);
  EXPECT_EQ(commas.counts.rows[10], 511);  // characters past the limit are not counted

  // 1021 letters and a comma: the test before the comma passes, so the pair makes 1023.
  Escaped last_pair = escape(std::u16string(1021, u'a') + u",");
  EXPECT_EQ(last_pair.name.size(), 1023u);

  std::u16string name(1023, u'b');
  EXPECT_EQ(unescape(name).size(), 1022u);
  // A line break appended at 1021 units gives 1023.
  EXPECT_EQ(unescape(std::u16string(1021, u'b') + u",.").size(), 1023u);
}

TEST(NoteNameCodec, ConfirmationMessageHasSixLinesWithTheCounts) {
  Escaped e = escape(u"C:\\memo");
  char16_t message[ESCAPE_MESSAGE_UNITS];
  format_escape_message(e.counts, message, ESCAPE_MESSAGE_UNITS);
  EXPECT_EQ(std::u16string(message),
            u"「\\」が「1」個、「/」が「0」個、「:」が「1」個、\n"
            u"「*」が「0」個、「?」が「0」個、「\"」が「0」個、\n"
            u"「<」が「0」個、「>」が「0」個、「|」が「0」個、\n"
            u"「改行」が「0」個、「,」が「0」個\n"
            u"のファイル名禁則文字とエスケープ対象文字がありました。\n"
            u"全てエスケープ文字に変換します。");

  Escaped many = escape(std::u16string(600, u','));
  format_escape_message(many.counts, message, ESCAPE_MESSAGE_UNITS);
  EXPECT_NE(std::u16string(message).find(u"「,」が「511」個"), std::u16string::npos);

  char16_t small[8];
  EXPECT_EQ(format_escape_message(e.counts, small, 8), 7u);  // bounded and terminated
  EXPECT_EQ(small[7], 0);
}

TEST(NoteNameCodec, ExtensionAndFileNameOfPaths) {
  char16_t name[32] = u"v1.2.exe";
  strip_extension(name);
  EXPECT_EQ(std::u16string(name), u"v1.2");
  char16_t only_dot[8] = u".exe";
  strip_extension(only_dot);
  EXPECT_EQ(std::u16string(only_dot), u"");
  char16_t none[8] = u"memo";
  strip_extension(none);
  EXPECT_EQ(std::u16string(none), u"memo");

  EXPECT_EQ(std::u16string(path_file_name(u"C:\\Users\\taro\\Desktop\\Buy milk.exe")), u"Buy milk.exe");
  EXPECT_EQ(std::u16string(path_file_name(u"C:\\trailing\\")), u"");
  EXPECT_EQ(std::u16string(path_file_name(u"plain.exe")), u"plain.exe");
}

TEST(NoteNameCodec, NamesThatWindowsKeepsForDevices) {
  const std::u16string reserved[] = {u"NUL",     u"con",  u"Com1", u"LPT9",    u"nul ",
                                     u"aux.txt", u"PRN.", u"nul .exe", u"CoM5.exe"};
  for (const auto& name : reserved)
    EXPECT_TRUE(is_reserved_device_name(name.c_str())) << "refused: " << &name - reserved;
  const std::u16string allowed[] = {u"CONX", u"COM10", u"NULL", u"con1", u"COM0", u"LPT",
                                    u"",     u".nul", u"Ｎｕｌ", u"Buy milk"};
  for (const auto& name : allowed)
    EXPECT_FALSE(is_reserved_device_name(name.c_str())) << "allowed: " << &name - allowed;
}
