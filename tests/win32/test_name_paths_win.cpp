// strip_extension and path_file_name stepping with CharPrevW/CharNextW.
#include <gtest/gtest.h>
#include <string>
#include "common/note_name_codec_win.h"

TEST(NamePathsWin, FileNameAndExtensionThroughPlatformStepping) {
  EXPECT_STREQ(path_file_name_win(L"C:\\Users\\taro\\Desktop\\v1.2.exe"), L"v1.2.exe");
  EXPECT_STREQ(path_file_name_win(L"C:\\dir\\"), L"");
  EXPECT_STREQ(path_file_name_win(L"no-backslash.exe"), L"no-backslash.exe");
  wchar_t name[32] = L"v1.2.exe";
  strip_extension_win(name);
  EXPECT_STREQ(name, L"v1.2");
  wchar_t dotfirst[8] = L".exe";
  strip_extension_win(dotfirst);
  EXPECT_STREQ(dotfirst, L"");
  wchar_t plain[8] = L"memo";
  strip_extension_win(plain);
  EXPECT_STREQ(plain, L"memo");
  // A surrogate pair before the extension stays whole.
  wchar_t emoji[16] = L"\xD83D\xDE00.exe";
  strip_extension_win(emoji);
  EXPECT_EQ(std::wstring(emoji), std::wstring(L"\xD83D\xDE00"));
}
