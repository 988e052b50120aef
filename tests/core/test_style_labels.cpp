// Style menu labels and the slot numbers of the style commands.
#include <gtest/gtest.h>
#include <string>
#include "common/text16.h"
#include "editor/style_label.h"

namespace {
std::u16string label(int slot, const std::u16string& name, size_t cap = STYLE_LABEL_UNITS) {
  std::u16string out(cap, u'?');
  format_style_label(slot, name.c_str(), &out[0], cap);
  return std::u16string(out.c_str());
}
}  // namespace

TEST(StyleLabels, NamedAndUnnamedFormsWithFullWidthAndMnemonicDigits) {
  EXPECT_EQ(label(1, u""), u"スタイル１(&1)");
  EXPECT_EQ(label(9, u""), u"スタイル９(&9)");
  EXPECT_EQ(label(3, u"Blue"), u"スタイル３ - Blue(&3)");
  EXPECT_EQ(label(9, u"Memo"), u"スタイル９ - Memo(&9)");
  // The name goes in unchanged, "&" included, so the menu takes it as a mnemonic.
  EXPECT_EQ(label(2, u"A&B"), u"スタイル２ - A&B(&2)");
  EXPECT_EQ(label(5, u"%s%d"), u"スタイル５ - %s%d(&5)");
  std::u16string null_name(64, u'?');
  format_style_label(4, nullptr, &null_name[0], 64);
  EXPECT_EQ(std::u16string(null_name.c_str()), u"スタイル４(&4)");
}

TEST(StyleLabels, NameTooLongForTheBufferIsCutAndTheMnemonicKept) {
  // The dialog delivers up to 1023 units; with the fixed parts that would
  // not fit a 1024-unit label.
  std::u16string longest(1023, u'長');
  std::u16string cut = label(7, longest);
  EXPECT_EQ(cut.size(), 1023u);
  EXPECT_EQ(cut.substr(0, 8), u"スタイル７ - ");
  EXPECT_EQ(cut.substr(cut.size() - 4), u"(&7)");
  EXPECT_EQ(cut.substr(8, cut.size() - 12), std::u16string(1023 - 12, u'長'));
  // A name that just fits is kept whole.
  std::u16string fits(1023 - 12, u'x');
  EXPECT_EQ(label(1, fits), u"スタイル１ - " + fits + u"(&1)");
  // A small buffer cuts the same way.
  EXPECT_EQ(label(6, u"abcdefghij", 17), u"スタイル６ - abcd(&6)");
  EXPECT_EQ(label(6, u"abcdefghij", 13), u"スタイル６ - (&6)") << "no room for the name at all";
}

TEST(StyleLabels, CutNeverSplitsASurrogatePair) {
  // 16 units: 8 fixed, 4 mnemonic, terminator: room for 3 name units.
  std::u16string pairs = u"a\U0001F600\U0001F600";  // 1 + 2 + 2 units
  EXPECT_EQ(label(1, pairs, 16), u"スタイル１ - a\U0001F600(&1)");
  std::u16string after_one = u"\U0001F600\U0001F600";
  EXPECT_EQ(label(1, after_one, 16), u"スタイル１ - \U0001F600(&1)");
  EXPECT_EQ(label(1, u"ab\U0001F600", 16), u"スタイル１ - ab(&1)");
}

TEST(StyleLabels, SlotsOfLoadAndSaveCommands) {
  EXPECT_EQ(style_slot_of_load(1012), 1);
  EXPECT_EQ(style_slot_of_load(1020), 9);
  EXPECT_EQ(style_slot_of_load(1011), 0) << "the escape option";
  EXPECT_EQ(style_slot_of_load(1021), 0) << "a save";
  EXPECT_EQ(style_slot_of_save(1021), 1);
  EXPECT_EQ(style_slot_of_save(1029), 9);
  EXPECT_EQ(style_slot_of_save(1020), 0);
  EXPECT_EQ(style_slot_of_save(1030), 0) << "the background image";
}
