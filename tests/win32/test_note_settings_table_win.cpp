// The note settings table written into a copy of a real MinGW-built program
// with UpdateResourceW and read back with LoadStringW, as notes and the
// editor's reopen read it.
#include <gtest/gtest.h>
#include <windows.h>
#include <climits>
#include <string>
#include <vector>
#include "common/display_scale.h"
#include "common/note_settings_table.h"
#include "common/note_settings_table_win.h"
#include "common/text16.h"
#include "test_files.h"

namespace {

// Copies this test program and writes block as its string block 1, language 0.
std::wstring program_with_table(const std::vector<uint8_t>& block, const wchar_t* name) {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring copy = scratch_folder(L"table") + L"\\" + name + L".exe";
  if (!CopyFileW(self, copy.c_str(), FALSE)) return L"";
  HANDLE update = BeginUpdateResourceW(copy.c_str(), FALSE);
  if (!update) return L"";
  bool ok = UpdateResourceW(update, RT_STRING, MAKEINTRESOURCEW(1), MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL),
                            (void*)block.data(), (DWORD)block.size());
  if (!EndUpdateResourceW(update, !ok) || !ok) return L"";
  return copy;
}

std::vector<uint8_t> encode(const NoteSettings& s, int w, int h) {
  std::vector<uint8_t> out(NOTE_SETTINGS_TABLE_BYTES);
  out.resize(encode_note_settings(s, w, h, out.data()));
  return out;
}

HMODULE map_resources(const std::wstring& path) {
  return LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
}

}  // namespace

TEST(NoteSettingsTableWin, EntriesRoundTripThroughUpdateResourceAndLoadString) {
  NoteSettings s;
  set_default_note_settings(&s);
  s.font_height = -16;
  s.background_color = 255;
  s.transparent_color = 0x00FF0000;
  s.auto_close_seconds = 5;
  s.image_enabled = 1;
  text16_copy(s.image_path, PATH_UNITS, u"C:\\絵\\bg.bmp");
  std::wstring path = program_with_table(encode(s, 300, 200), L"table-");
  ASSERT_FALSE(path.empty());
  HMODULE note = map_resources(path);
  ASSERT_NE(note, nullptr);

  // The note's buffer sizes.
  EXPECT_EQ(note_setting_int(note, NS_MARGIN, 32), 10);
  EXPECT_EQ(note_setting_int(note, NS_CLIENT_WIDTH, 32), 300);
  EXPECT_EQ(note_setting_int(note, NS_CLIENT_HEIGHT, 32), 200);
  EXPECT_EQ(note_setting_int(note, NS_BACKGROUND_COLOR, 1024), 255);
  EXPECT_EQ(note_setting_int(note, NS_TEXT_COLOR, 16), 0);
  EXPECT_EQ(note_setting_int(note, NS_FONT_HEIGHT, 32), -16);
  EXPECT_EQ(note_setting_int(note, NS_AUTO_CLOSE_SECONDS, 16), 5);
  EXPECT_EQ(note_setting_int(note, NS_TRANSPARENT_COLOR, 1024), 16711680);
  wchar_t text[1024];
  EXPECT_EQ(note_setting(note, NS_FACE_NAME, text, 32), 7);
  EXPECT_STREQ(text, L"ＭＳ ゴシック");
  EXPECT_EQ(note_setting(note, NS_IMAGE_PATH, text, 1024), 11);
  EXPECT_STREQ(text, L"C:\\絵\\bg.bmp");
  // Empty entries read as absent, as the editor's reopen sees them.
  EXPECT_EQ(note_setting(note, NS_ICON_PATH, text, 1024), 0);
  EXPECT_STREQ(text, L"");
  // A buffer too small keeps cap - 1 units.
  EXPECT_EQ(note_setting(note, NS_BACKGROUND_COLOR, text, 3), 2);
  EXPECT_STREQ(text, L"25");
  FreeLibrary(note);
  DeleteFileW(path.c_str());
}

TEST(NoteSettingsTableWin, TwoMaximalPathsSurviveTheResourceUpdate) {
  NoteSettings s;
  set_default_note_settings(&s);
  std::u16string image(1023, u'i'), icon(1023, u'c');
  text16_copy(s.image_path, PATH_UNITS, image.c_str());
  text16_copy(s.icon_path, PATH_UNITS, icon.c_str());
  s.image_enabled = s.icon_enabled = 1;
  std::wstring path = program_with_table(encode(s, 1, 1), L"maxpaths-");
  ASSERT_FALSE(path.empty());
  HMODULE note = map_resources(path);
  ASSERT_NE(note, nullptr);
  wchar_t text[1024];
  EXPECT_EQ(note_setting(note, NS_IMAGE_PATH, text, 1024), 1023);
  EXPECT_EQ(std::wstring(text), std::wstring(1023, L'i'));
  EXPECT_EQ(note_setting(note, NS_ICON_PATH, text, 1024), 1023);
  EXPECT_EQ(std::wstring(text), std::wstring(1023, L'c'));
  FreeLibrary(note);
  DeleteFileW(path.c_str());
}

// The table's sizes are 96-DPI units that the programs scale with the core's
// arithmetic: it must round as Windows' MulDiv does, halves and negative
// sizes (a font height of -21 is -31.5 pixels at 144 DPI) included.
TEST(NoteSettingsTableWin, StoredSizesScaleExactlyAsWindowsMulDiv) {
  for (int dpi : {120, 144, 168, 192}) {
    for (int v = -3000; v <= 3000; ++v) {
      ASSERT_EQ(scale_to_screen(v, dpi), MulDiv(v, dpi, STORED_DPI)) << "stored " << v << " at " << dpi;
      ASSERT_EQ(scale_to_stored(v, dpi), MulDiv(v, STORED_DPI, dpi)) << "pixels " << v << " at " << dpi;
    }
    // Results past the int range are -1 (a result of exactly INT_MIN is left
    // out: how Windows and Wine answer it is not documented).
    for (int v : {INT_MAX, INT_MIN, 1431655765, -1431655766, 1000000000, -1000000000})
      EXPECT_EQ(mul_div(v, dpi, STORED_DPI), MulDiv(v, dpi, STORED_DPI)) << v << " at " << dpi;
  }
  EXPECT_EQ(mul_div(7, -1, 2), MulDiv(7, -1, 2));
  EXPECT_EQ(mul_div(-7, 1, -2), MulDiv(-7, 1, -2));
  EXPECT_EQ(mul_div(7, 1, 0), MulDiv(7, 1, 0));
}
