// The settings store on real INI files through the platform's profile functions.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include "common/text16.h"
#include "editor/settings_store_win.h"
#include "test_files.h"

namespace {

// A fresh folder for each call, with a trailing separator.
std::wstring temp_folder() {
  static int made = 0;
  return scratch_folder(L"store-" + std::to_wstring(++made)) + L"\\";
}

std::string file_bytes(const std::wstring& path) {
  HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return "<missing>";
  std::string data(GetFileSize(f, nullptr), '\0');
  DWORD read = 0;
  ReadFile(f, &data[0], (DWORD)data.size(), &read, nullptr);
  CloseHandle(f);
  return data;
}

}  // namespace

TEST(SettingsStoreWin, SavesAsUtf16AndLoadsBackThroughProfileFunctions) {
  std::wstring path = temp_folder() + L"taro Tessark.ini";
  ProfileAccess p = profile_for_file(path.c_str());

  EditorSettings s;
  set_default_editor_settings(&s);
  load_settings_from(p, &s);  // no file yet: defaults, nothing created
  EXPECT_EQ(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(std::u16string(s.note.face_name), u"ＭＳ ゴシック");

  s.note.margin = 25;
  s.note.font_height = -16;
  s.note.background_color = 0x001E140A;
  s.note.transparent_color = 0x000A141E;
  text16_copy(s.note.image_path, PATH_UNITS, u"C:\\画像\\背景.bmp");
  ASSERT_TRUE(save_note_settings_to(p, s.note));
  std::string bytes = file_bytes(path);
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ((unsigned char)bytes[0], 0xFF);  // UTF-16 with a byte-order mark
  EXPECT_EQ((unsigned char)bytes[1], 0xFE);

  EditorSettings back;
  set_default_editor_settings(&back);
  load_settings_from(p, &back);
  EXPECT_EQ(back.note.margin, 25);
  EXPECT_EQ(back.note.font_height, -16);
  EXPECT_EQ(back.note.background_color, 0x001E140Au);
  EXPECT_EQ(back.note.transparent_color, 0x000A141Eu);
  EXPECT_EQ(std::u16string(back.note.face_name), u"ＭＳ ゴシック");
  EXPECT_EQ(std::u16string(back.note.image_path), u"C:\\画像\\背景.bmp");
  wchar_t raw[64];
  GetPrivateProfileStringW(L"FONT", L"HEIGHT", L"", raw, 64, path.c_str());
  EXPECT_STREQ(raw, L"-16");
}

TEST(SettingsStoreWin, LoadingRulesHoldOnRealFiles) {
  std::wstring path = temp_folder() + L"rules.ini";
  WritePrivateProfileStringW(L"WINDOW", L"MARGIN", L"-5", path.c_str());
  WritePrivateProfileStringW(L"ACTION", L"AUTO_CLOSE", L"-1", path.c_str());
  WritePrivateProfileStringW(L"FONT", L"WEIGHT", L"-3", path.c_str());
  WritePrivateProfileStringW(L"WINDOW", L"COLOR_R", L"256", path.c_str());
  WritePrivateProfileStringW(L"WINDOW", L"COLOR_G", L"-1", path.c_str());
  WritePrivateProfileStringW(L"FONT", L"FACE_NAME", std::wstring(40, L'F').c_str(), path.c_str());
  EditorSettings s;
  set_default_editor_settings(&s);
  load_settings_from(profile_for_file(path.c_str()), &s);
  EXPECT_EQ(s.note.margin, 0);
  EXPECT_EQ(s.note.auto_close_seconds, 0);
  EXPECT_EQ(s.note.font_weight, 400);
  EXPECT_EQ(s.note.background_color, pack_colorref(0, 255, 255));
  EXPECT_EQ(std::u16string(s.note.face_name), std::u16string(31, u'F'));
}

TEST(SettingsStoreWin, ReadOnlyFileStopsTheSaveAfterTheFirstWrite) {
  std::wstring path = temp_folder() + L"locked.ini";
  WritePrivateProfileStringW(L"WINDOW", L"MARGIN", L"7", path.c_str());
  std::string before = file_bytes(path);
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
  EditorSettings s;
  set_default_editor_settings(&s);
  EXPECT_FALSE(save_note_settings_to(profile_for_file(path.c_str()), s.note));
  EXPECT_EQ(file_bytes(path), before);
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(SettingsStoreWin, SettingsFileSitsBesideTheProgramNamedAfterTheUser) {
  wchar_t folder[PATH_UNITS];
  ASSERT_TRUE(editor_folder(folder, PATH_UNITS));
  wchar_t module[2048];
  GetModuleFileNameW(nullptr, module, 2048);
  std::wstring expected_folder(module);
  expected_folder.resize(expected_folder.find_last_of(L'\\') + 1);
  EXPECT_EQ(std::wstring(folder), expected_folder);
  wchar_t tiny[4] = L"abc";
  EXPECT_FALSE(editor_folder(tiny, 4));  // does not fit: untouched
  EXPECT_STREQ(tiny, L"abc");

  load_editor_settings();
  wchar_t user[256];
  DWORD n = 256;
  GetUserNameW(user, &n);
  EXPECT_EQ(std::wstring(reinterpret_cast<wchar_t*>(g_settings.settings_path)),
            expected_folder + user + L" Tessark.ini");
}
