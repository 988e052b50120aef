// The first argument of the editor's command line, the note to reopen.
#include <gtest/gtest.h>
#include <string>
#include "editor/builder/command_line.h"

namespace {

// The argument as text, or "<none>".
std::u16string argument(std::u16string line) {
  line.push_back(0);
  char16_t* arg = first_command_line_argument(&line[0]);
  return arg ? std::u16string(arg) : u"<none>";
}

}  // namespace

TEST(CommandLine, QuotedArgumentKeepsItsBlanks) {
  EXPECT_EQ(argument(u"\"C:\\Program Files\\Tessark.exe\" \"C:\\My Notes\\Buy milk.exe\""),
            u"C:\\My Notes\\Buy milk.exe");
  EXPECT_EQ(argument(u"Tessark.exe   \"a b.exe\" more args"), u"a b.exe");
  // A quote inside the argument that is not followed by a blank does not end it.
  EXPECT_EQ(argument(u"t.exe \"a\"b c\""), u"a\"b c");
}

TEST(CommandLine, UnquotedArgumentIsCutAtTheFirstBlank) {
  EXPECT_EQ(argument(u"Tessark.exe C:\\My Notes\\Buy milk.exe"), u"C:\\My");
  EXPECT_EQ(argument(u"\"C:\\a b\\Tessark.exe\" note.exe"), u"note.exe");
  EXPECT_EQ(argument(u"Tessark.exe note.exe"), u"note.exe");
}

TEST(CommandLine, NoArgumentAtAll) {
  EXPECT_EQ(argument(u"Tessark.exe"), u"<none>");
  EXPECT_EQ(argument(u"Tessark.exe    "), u"<none>");
  EXPECT_EQ(argument(u"\"C:\\a b\\Tessark.exe\""), u"<none>");
  EXPECT_EQ(argument(u"\"C:\\a b\\Tessark.exe\"   "), u"<none>");
  EXPECT_EQ(argument(u""), u"<none>");
  // A program name whose quote never closes swallows the rest.
  EXPECT_EQ(argument(u"\"C:\\a b\\Tessark.exe note.exe"), u"<none>");
}

TEST(CommandLine, UnclosedAndEmptyQuotes) {
  EXPECT_EQ(argument(u"Tessark.exe \"C:\\My Notes\\Buy milk.exe"), u"<none>");
  EXPECT_EQ(argument(u"Tessark.exe \""), u"<none>");
  // Two quotes with nothing between them name the empty path.
  EXPECT_EQ(argument(u"Tessark.exe \"\""), u"");
  EXPECT_EQ(argument(u"Tessark.exe \"\" next"), u"");
}

TEST(CommandLine, LeadingBlankMeansNoProgramName) {
  EXPECT_EQ(argument(u"  note.exe other"), u"note.exe");
  EXPECT_EQ(argument(u" \"a b.exe\""), u"a b.exe");
}

TEST(CommandLine, OnlyTheSpaceCountsAsBlank) {
  EXPECT_EQ(argument(u"Tessark.exe\tnote.exe"), u"<none>");
  EXPECT_EQ(argument(u"Tessark.exe a\tb.exe c"), u"a\tb.exe");
}
