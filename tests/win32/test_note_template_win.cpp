// The resources of the built note template, read back through the real
// resource functions: the icon image and group the editor replaces, the
// default note settings table, and the manifest.
#include <gtest/gtest.h>
#include <windows.h>
#include <cstring>
#include <string>
#include <vector>
#include "common/default_note_icon.h"
#include "test_files.h"
#include "common/note_settings_table.h"
#include "common/note_settings_table_win.h"

#ifdef TESSARK_NOTE_TEMPLATE

namespace {

const WORD NEUTRAL = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);
const WORD ENGLISH_US = 1033;

// A named CALLBACK: on i686 the enumerator calls it as __stdcall, which a
// lambda cannot be.
BOOL CALLBACK collect_language(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR found) {
  reinterpret_cast<std::vector<WORD>*>(found)->push_back(language);
  return TRUE;
}

class NoteTemplate : public ::testing::Test {
 protected:
  void SetUp() override {
    module = LoadLibraryExW(TESSARK_NOTE_TEMPLATE, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(module, nullptr) << GetLastError();
  }
  void TearDown() override {
    if (module) FreeLibrary(module);
  }
  // The resource's bytes, or an empty vector when it is absent.
  std::vector<uint8_t> resource(LPCWSTR type, int id, WORD language) {
    HRSRC found = FindResourceExW(module, type, MAKEINTRESOURCEW(id), language);
    if (!found) return {};
    const uint8_t* data = static_cast<const uint8_t*>(LockResource(LoadResource(module, found)));
    return std::vector<uint8_t>(data, data + SizeofResource(module, found));
  }
  std::vector<WORD> languages(LPCWSTR type, int id) {
    std::vector<WORD> found;
    EnumResourceLanguagesW(module, type, MAKEINTRESOURCEW(id), collect_language, reinterpret_cast<LONG_PTR>(&found));
    return found;
  }
  HMODULE module = nullptr;
};

}  // namespace

TEST_F(NoteTemplate, IconImageOneIsTheDefaultNoteIconByteForByte) {
  std::vector<uint8_t> image = resource(RT_ICON, 1, NEUTRAL);
  ASSERT_EQ(image.size(), static_cast<size_t>(DEFAULT_NOTE_ICON_BYTES));
  uint8_t expected[DEFAULT_NOTE_ICON_BYTES];
  make_default_note_icon_image(expected);
  EXPECT_EQ(std::memcmp(image.data(), expected, DEFAULT_NOTE_ICON_BYTES), 0);
  EXPECT_EQ(languages(RT_ICON, 1), std::vector<WORD>{NEUTRAL});
  // Image 2 is what the editor adds to each note; the template has none.
  EXPECT_TRUE(resource(RT_ICON, 2, NEUTRAL).empty());
}

TEST_F(NoteTemplate, IconGroupTwoHasOneEntryNamingImageOne) {
  std::vector<uint8_t> group = resource(RT_GROUP_ICON, 2, NEUTRAL);
  ASSERT_EQ(group.size(), 20u);
  // reserved, type 1, count 1; 128 x 128, 2 colours, reserved, 1 plane,
  // 1 bit per pixel, 4144 bytes, id 1.
  const uint8_t expected[20] = {0, 0, 1, 0, 1, 0, 128, 128, 2, 0, 1, 0, 1, 0, 0x30, 0x10, 0, 0, 1, 0};
  EXPECT_EQ(std::memcmp(group.data(), expected, 20), 0);
  EXPECT_EQ(languages(RT_GROUP_ICON, 2), std::vector<WORD>{NEUTRAL});
  HICON icon = static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(2), IMAGE_ICON, 0, 0, LR_SHARED));
  EXPECT_NE(icon, nullptr);
}

TEST_F(NoteTemplate, DefaultTableIsAFullBlockOfSixteenEntries) {
  std::vector<uint8_t> block = resource(RT_STRING, 1, NEUTRAL);
  ASSERT_EQ(block.size(), 90u);
  EXPECT_EQ(languages(RT_STRING, 1), std::vector<WORD>{NEUTRAL});
  const char16_t* expected[16] = {u"10", u"300", u"200", u"0", u"255", u"30", u"0", u"400", u"0",
                                  u"\uFF2D\uFF33 \u30B4\u30B7\u30C3\u30AF", u"10", u"", u"0", u"", u"", u""};
  for (int id = 0; id < 16; ++id) {
    char16_t text[64];
    read_note_setting(block.data(), block.size(), id, text, 64);
    EXPECT_EQ(std::u16string(text), std::u16string(expected[id])) << "entry " << id;
  }
  // The note reads the same through the string loader with its own buffers.
  EXPECT_EQ(note_setting_int(module, NS_TEXT_COLOR, 16), 255);
  EXPECT_EQ(note_setting_int(module, NS_AUTO_CLOSE_SECONDS, 16), 10);
  wchar_t face[32];
  EXPECT_EQ(note_setting(module, NS_FACE_NAME, face, 32), 7);
  EXPECT_STREQ(face, L"\xFF2D\xFF33 \x30B4\x30B7\x30C3\x30AF");
  wchar_t path[1024];
  EXPECT_EQ(note_setting(module, NS_IMAGE_PATH, path, 1024), 0);
}

TEST_F(NoteTemplate, ManifestAsksForTheInvokersLevelWithoutUiAccessAndPerMonitorScaling) {
  std::vector<uint8_t> manifest = resource(RT_MANIFEST, 1, ENGLISH_US);
  ASSERT_FALSE(manifest.empty());
  std::string text(manifest.begin(), manifest.end());
  EXPECT_NE(text.find("level=\"asInvoker\""), std::string::npos);
  EXPECT_NE(text.find("uiAccess=\"false\""), std::string::npos);
  // Windows reads each setting only in its own namespace, inside windowsSettings.
  size_t application = text.find("<application xmlns=\"urn:schemas-microsoft-com:asm.v3\">");
  size_t settings = text.find("<windowsSettings>", application);
  auto inside_settings = [&](const char* element) {
    size_t at = text.find(element);
    return settings != std::string::npos && at != std::string::npos && at > settings;
  };
  EXPECT_TRUE(inside_settings("<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">"
                              "true/pm</dpiAware>")) << text;
  EXPECT_TRUE(inside_settings("<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">"
                              "PerMonitorV2, PerMonitor</dpiAwareness>")) << text;
  EXPECT_EQ(languages(RT_MANIFEST, 1), std::vector<WORD>{ENGLISH_US});
}

#endif
