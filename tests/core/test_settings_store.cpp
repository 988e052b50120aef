// The settings key table walked over an in-memory profile: defaults, loading
// rules, key names and order, colour packing, style sections, the file path.
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>
#include "common/text16.h"
#include "editor/settings_store.h"

namespace {

// An INI file in memory with the profile functions' reading rules.
struct MemoryProfile {
  std::map<std::u16string, std::u16string> values;  // "SECTION/KEY" -> value
  std::vector<std::u16string> written;              // keys in write order
  bool fail_writes = false;

  static std::u16string id(const char16_t* section, const char16_t* key) {
    return std::u16string(section) + u"/" + key;
  }
  static int32_t read_int(void* c, const char16_t* s, const char16_t* k, int32_t def) {
    auto* p = static_cast<MemoryProfile*>(c);
    auto it = p->values.find(id(s, k));
    return it == p->values.end() ? def : text16_to_int(it->second.c_str());
  }
  static void read_text(void* c, const char16_t* s, const char16_t* k, const char16_t* def,
                        char16_t* buf, size_t cap) {
    auto* p = static_cast<MemoryProfile*>(c);
    auto it = p->values.find(id(s, k));
    text16_copy(buf, cap, it == p->values.end() ? def : it->second.c_str());
  }
  static bool write_text(void* c, const char16_t* s, const char16_t* k, const char16_t* v) {
    auto* p = static_cast<MemoryProfile*>(c);
    if (p->fail_writes) return false;
    p->values[id(s, k)] = v;
    p->written.push_back(id(s, k));
    return true;
  }
  ProfileAccess access() { return ProfileAccess{this, read_int, read_text, write_text}; }
};

EditorSettings loaded(MemoryProfile& profile) {
  EditorSettings s;
  set_default_editor_settings(&s);
  s.note.margin = 99;  // loading must overwrite whatever was there
  load_settings_from(profile.access(), &s);
  return s;
}

}  // namespace

TEST(SettingsStore, MissingFileGivesEveryDefaultAndWritesNothing) {
  MemoryProfile profile;
  EditorSettings s = loaded(profile);
  EXPECT_EQ(s.note.margin, 10);
  EXPECT_EQ(s.note.background_color, 0x00FFFFFFu);
  EXPECT_EQ(s.note.text_color, 0u);
  EXPECT_EQ(s.note.font_height, 30);
  EXPECT_EQ(s.note.font_width, 0);
  EXPECT_EQ(s.note.font_weight, 400);
  EXPECT_EQ(s.note.font_italic, 0);
  EXPECT_EQ(std::u16string(s.note.face_name), u"ＭＳ ゴシック");
  EXPECT_EQ(s.note.auto_close_seconds, 0);
  EXPECT_EQ(s.note.image_enabled, 0);
  EXPECT_EQ(s.note.image_path[0], 0);
  EXPECT_EQ(s.note.transparent_color, 0u);
  EXPECT_EQ(s.note.icon_enabled, 0);
  EXPECT_EQ(s.note.icon_path[0], 0);
  for (int i = 0; i < PALETTE_ENTRIES; ++i) {
    EXPECT_EQ(s.background_palette[i], 0x00FFFFFFu);
    EXPECT_EQ(s.text_palette[i], 0x00FFFFFFu);
  }
  EXPECT_EQ(s.escape_message, 0);
  EXPECT_TRUE(profile.written.empty());
}

TEST(SettingsStore, LoadingRulesBringValuesIntoRange) {
  MemoryProfile p;
  p.values = {{u"WINDOW/MARGIN", u"-5"},  {u"ACTION/AUTO_CLOSE", u"-1"}, {u"FONT/WEIGHT", u"0"},
              {u"WINDOW/COLOR_R", u"256"}, {u"WINDOW/COLOR_G", u"-1"},   {u"WINDOW/COLOR_B", u"30"},
              {u"FONT/HEIGHT", u"-16"},   {u"FONT/WIDTH", u"  7px"},     {u"FONT/ITALIC", u"5"},
              {u"FONT/FACE_NAME", std::u16string(40, u'F')},
              {u"WINDOW/IMG_PATH", std::u16string(1500, u'p')}, {u"OPTION/ESCAPE_MSG", u"1"}};
  EditorSettings s = loaded(p);
  EXPECT_EQ(s.note.margin, 0);
  EXPECT_EQ(s.note.auto_close_seconds, 0);
  EXPECT_EQ(s.note.font_weight, 400);
  EXPECT_EQ(s.note.background_color, pack_colorref(0, 255, 30));
  EXPECT_EQ(s.note.font_height, -16);
  EXPECT_EQ(s.note.font_width, 7);
  EXPECT_EQ(s.note.font_italic, 5);
  EXPECT_EQ(std::u16string(s.note.face_name), std::u16string(31, u'F'));
  EXPECT_EQ(std::u16string(s.note.image_path), std::u16string(1023, u'p'));
  EXPECT_EQ(s.escape_message, 1);

  p.values = {{u"FONT/WEIGHT", u"-3"}};
  EXPECT_EQ(loaded(p).note.font_weight, 400);
  p.values = {{u"FONT/WEIGHT", u"1200"}, {u"WINDOW/MARGIN", u"40000"}};
  EXPECT_EQ(loaded(p).note.font_weight, 1200);  // no upper bound on loading
  EXPECT_EQ(loaded(p).note.margin, 40000);
  p.values = {{u"FONT/HEIGHT", u"abc"}};
  EXPECT_EQ(loaded(p).note.font_height, 0);  // text without digits
}

TEST(SettingsStore, ColoursArePackedInOppositeOrders) {
  MemoryProfile p;
  p.values = {{u"WINDOW/COLOR_R", u"10"}, {u"WINDOW/COLOR_G", u"20"}, {u"WINDOW/COLOR_B", u"30"},
              {u"WINDOW/IMG_T_R", u"10"}, {u"WINDOW/IMG_T_G", u"20"}, {u"WINDOW/IMG_T_B", u"30"},
              {u"PALETTE/BG_COLOR_01_R", u"1"}, {u"PALETTE/BG_COLOR_16_B", u"2"},
              {u"PALETTE/FONT_COLOR_16_G", u"3"}};
  EditorSettings s = loaded(p);
  EXPECT_EQ(s.note.background_color, 0x001E140Au);
  EXPECT_EQ(s.note.transparent_color, 0x000A141Eu);
  EXPECT_EQ(s.background_palette[0], pack_colorref(1, 255, 255));
  EXPECT_EQ(s.background_palette[15], pack_colorref(255, 255, 2));
  EXPECT_EQ(s.text_palette[15], pack_colorref(255, 3, 255));

  MemoryProfile out;
  ASSERT_TRUE(save_note_settings_to(out.access(), s.note));
  EXPECT_EQ(out.values[u"WINDOW/COLOR_R"], u"10");
  EXPECT_EQ(out.values[u"WINDOW/COLOR_B"], u"30");
  EXPECT_EQ(out.values[u"WINDOW/IMG_T_R"], u"10");
  EXPECT_EQ(out.values[u"WINDOW/IMG_T_B"], u"30");
}

TEST(SettingsStore, SaveWritesEveryKeyInOrderAndStopsWhenTheFirstWriteFails) {
  MemoryProfile out;
  EditorSettings s;
  set_default_editor_settings(&s);
  s.note.font_height = -16;
  text16_copy(s.note.image_path, PATH_UNITS, u"D:\\bg.bmp");  // kept although disabled
  ASSERT_TRUE(save_note_settings_to(out.access(), s.note));
  const std::vector<std::u16string> order = {
      u"WINDOW/MARGIN", u"WINDOW/COLOR_R", u"WINDOW/COLOR_G", u"WINDOW/COLOR_B",
      u"WINDOW/IMG_ENABLED", u"WINDOW/IMG_PATH", u"WINDOW/IMG_T_R", u"WINDOW/IMG_T_G",
      u"WINDOW/IMG_T_B", u"FONT/COLOR_R", u"FONT/COLOR_G", u"FONT/COLOR_B", u"FONT/HEIGHT",
      u"FONT/WIDTH", u"FONT/WEIGHT", u"FONT/ITALIC", u"FONT/FACE_NAME", u"ACTION/AUTO_CLOSE",
      u"ICON/ENABLED", u"ICON/PATH"};
  EXPECT_EQ(out.written, order);
  EXPECT_EQ(out.values[u"FONT/HEIGHT"], u"-16");
  EXPECT_EQ(out.values[u"WINDOW/IMG_PATH"], u"D:\\bg.bmp");
  EXPECT_EQ(out.values[u"FONT/FACE_NAME"], u"ＭＳ ゴシック");

  MemoryProfile failing;
  failing.fail_writes = true;
  EXPECT_FALSE(save_note_settings_to(failing.access(), s.note));

  // Saving and loading gives the same look back.
  EditorSettings again = loaded(out);
  EXPECT_EQ(again.note.font_height, -16);
  EXPECT_EQ(std::u16string(again.note.image_path), u"D:\\bg.bmp");
}

TEST(SettingsStore, PalettesUseTwoDigitKeysAndEscapeOptionIsOneOrZero) {
  MemoryProfile out;
  EditorSettings s;
  set_default_editor_settings(&s);
  s.background_palette[0] = pack_colorref(1, 2, 3);
  s.text_palette[15] = pack_colorref(4, 5, 6);
  save_palettes_to(out.access(), s);
  EXPECT_EQ(out.written.size(), 96u);
  EXPECT_EQ(out.written.front(), u"PALETTE/BG_COLOR_01_R");
  EXPECT_EQ(out.written[47], u"PALETTE/BG_COLOR_16_B");
  EXPECT_EQ(out.written.back(), u"PALETTE/FONT_COLOR_16_B");
  EXPECT_EQ(out.values[u"PALETTE/BG_COLOR_01_G"], u"2");
  EXPECT_EQ(out.values[u"PALETTE/FONT_COLOR_16_B"], u"6");
  save_escape_message_to(out.access(), 7);
  EXPECT_EQ(out.values[u"OPTION/ESCAPE_MSG"], u"1");
  save_escape_message_to(out.access(), 0);
  EXPECT_EQ(out.values[u"OPTION/ESCAPE_MSG"], u"0");
}

TEST(SettingsStore, StylesUseJoinedKeysAndTheirOwnSizeDefaults) {
  MemoryProfile p;
  NoteSettings n;
  set_default_note_settings(&n);
  n.margin = 99;
  int32_t w = 0, h = 0;
  load_style_from(p.access(), 4, &n, &w, &h);
  EXPECT_EQ(n.margin, 10);
  EXPECT_EQ(w, 400);
  EXPECT_EQ(h, 300);

  n.margin = 3;
  n.text_color = pack_colorref(1, 2, 3);
  n.transparent_color = pack_pixel_order(255, 0, 0);
  ASSERT_TRUE(save_style_to(p.access(), 9, n, 640, 480));
  EXPECT_EQ(p.written[0], u"STYLE_9/WINDOW_MARGIN");
  EXPECT_EQ(p.written[1], u"STYLE_9/WINDOW_WIDTH");
  EXPECT_EQ(p.written[2], u"STYLE_9/WINDOW_HEIGHT");
  EXPECT_EQ(p.written[3], u"STYLE_9/WINDOW_COLOR_R");
  EXPECT_EQ(p.written.back(), u"STYLE_9/ICON_PATH");
  EXPECT_EQ(p.values[u"STYLE_9/WINDOW_IMG_T_R"], u"255");
  EXPECT_EQ(p.values[u"STYLE_9/FONT_FACE_NAME"], u"ＭＳ ゴシック");
  EXPECT_EQ(p.values[u"STYLE_9/ACTION_AUTO_CLOSE"], u"0");

  NoteSettings back;
  set_default_note_settings(&back);
  load_style_from(p.access(), 9, &back, &w, &h);
  EXPECT_EQ(back.margin, 3);
  EXPECT_EQ(back.text_color, n.text_color);
  EXPECT_EQ(back.transparent_color, n.transparent_color);
  EXPECT_EQ(w, 640);
  EXPECT_EQ(h, 480);

  p.values[u"STYLE_9/WINDOW_MARGIN"] = u"-3";
  p.values[u"STYLE_9/FONT_WEIGHT"] = u"0";
  load_style_from(p.access(), 9, &back, &w, &h);
  EXPECT_EQ(back.margin, 0);
  EXPECT_EQ(back.font_weight, 400);

  MemoryProfile failing;
  failing.fail_writes = true;
  EXPECT_FALSE(save_style_to(failing.access(), 1, n, 1, 1));
}

TEST(SettingsStore, SettingsPathIsAlwaysUsable) {
  char16_t path[PATH_UNITS];
  compose_settings_path(u"D:\\Tools\\", u"taro", path);
  EXPECT_EQ(std::u16string(path), u"D:\\Tools\\taro Tessark.ini");
  compose_settings_path(nullptr, u"taro", path);
  EXPECT_EQ(std::u16string(path), u".\\taro Tessark.ini");
  compose_settings_path(u"D:\\Tools\\", nullptr, path);
  EXPECT_EQ(std::u16string(path), u"D:\\Tools\\user Tessark.ini");
  std::u16string deep = u"C:\\" + std::u16string(1010, u'd') + u"\\";
  compose_settings_path(deep.c_str(), u"taro", path);
  EXPECT_EQ(std::u16string(path), u".\\taro Tessark.ini");
  std::u16string huge_user(2000, u'u');
  compose_settings_path(u"C:\\", huge_user.c_str(), path);
  std::u16string result(path);
  EXPECT_EQ(result.size(), size_t(PATH_UNITS - 1));
  EXPECT_EQ(result.substr(result.size() - 12), u" Tessark.ini");
}
