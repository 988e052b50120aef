// The settings file's keys as one table, walked by the loader and the saver
// for the main sections and for the style sections alike.
#include "editor/settings_store.h"
#include <cstddef>
#include <cstring>
#include "common/text16.h"

namespace {

enum KeyKind {
  KIND_INT,          // integer read
  KIND_SIGNED_TEXT,  // read as text, converted as a signed decimal
  KIND_TEXT,
  KIND_COLORREF,     // three keys _R, _G, _B of a COLORREF
  KIND_PIXEL_ORDER   // three keys _R, _G, _B of a 0x00RRGGBB colour
};

enum LoadRule { RULE_NONE, RULE_NOT_NEGATIVE, RULE_WEIGHT };

struct SettingKey {
  const char16_t* section;  // main section; a style key is section + "_" + key
  const char16_t* key;      // for colours, the prefix before _R, _G, _B
  KeyKind kind;
  size_t offset;            // into NoteSettings
  int32_t int_default;      // for colours: the default of each component
  const char16_t* text_default;
  size_t text_units;        // text capacity with terminator
  LoadRule rule;
};

#define FIELD(name) offsetof(NoteSettings, name)

// In the order the file is read and written.
const SettingKey KEYS[] = {
    {u"WINDOW", u"MARGIN", KIND_INT, FIELD(margin), 10, nullptr, 0, RULE_NOT_NEGATIVE},
    {u"WINDOW", u"COLOR", KIND_COLORREF, FIELD(background_color), 255, nullptr, 0, RULE_NONE},
    {u"WINDOW", u"IMG_ENABLED", KIND_INT, FIELD(image_enabled), 0, nullptr, 0, RULE_NONE},
    {u"WINDOW", u"IMG_PATH", KIND_TEXT, FIELD(image_path), 0, u"", PATH_UNITS, RULE_NONE},
    {u"WINDOW", u"IMG_T", KIND_PIXEL_ORDER, FIELD(transparent_color), 0, nullptr, 0, RULE_NONE},
    {u"FONT", u"COLOR", KIND_COLORREF, FIELD(text_color), 0, nullptr, 0, RULE_NONE},
    {u"FONT", u"HEIGHT", KIND_SIGNED_TEXT, FIELD(font_height), 0, u"30", PATH_UNITS, RULE_NONE},
    {u"FONT", u"WIDTH", KIND_SIGNED_TEXT, FIELD(font_width), 0, u"0", PATH_UNITS, RULE_NONE},
    {u"FONT", u"WEIGHT", KIND_INT, FIELD(font_weight), 400, nullptr, 0, RULE_WEIGHT},
    {u"FONT", u"ITALIC", KIND_INT, FIELD(font_italic), 0, nullptr, 0, RULE_NONE},
    {u"FONT", u"FACE_NAME", KIND_TEXT, FIELD(face_name), 0, DEFAULT_FACE_NAME, FACE_NAME_UNITS, RULE_NONE},
    {u"ACTION", u"AUTO_CLOSE", KIND_INT, FIELD(auto_close_seconds), 0, nullptr, 0, RULE_NOT_NEGATIVE},
    {u"ICON", u"ENABLED", KIND_INT, FIELD(icon_enabled), 0, nullptr, 0, RULE_NONE},
    {u"ICON", u"PATH", KIND_TEXT, FIELD(icon_path), 0, u"", PATH_UNITS, RULE_NONE},
};
const size_t KEY_COUNT = sizeof KEYS / sizeof KEYS[0];
const char16_t* const COMPONENT_SUFFIX[3] = {u"_R", u"_G", u"_B"};
const int32_t STYLE_DEFAULT_WIDTH = 400, STYLE_DEFAULT_HEIGHT = 300;

template <typename T>
T* field(NoteSettings* n, size_t offset) {
  return reinterpret_cast<T*>(reinterpret_cast<char*>(n) + offset);
}
template <typename T>
const T* field(const NoteSettings* n, size_t offset) {
  return reinterpret_cast<const T*>(reinterpret_cast<const char*>(n) + offset);
}

// Where one key lives: a main section and key, or a style section and the
// joined style key ("FONT" + "HEIGHT" -> "FONT_HEIGHT").
struct KeyName {
  char16_t section[32];
  char16_t key[64];
};

KeyName key_name(const SettingKey& k, const char16_t* style, const char16_t* suffix) {
  KeyName name;
  name.key[0] = 0;
  if (style) {
    text16_copy(name.section, 32, style);
    text16_append(name.key, 64, k.section);
    text16_append(name.key, 64, u"_");
  } else {
    text16_copy(name.section, 32, k.section);
  }
  text16_append(name.key, 64, k.key);
  if (suffix) text16_append(name.key, 64, suffix);
  return name;
}

int32_t apply_rule(LoadRule rule, int32_t v) {
  if (rule == RULE_NOT_NEGATIVE && v < 0) return 0;
  if (rule == RULE_WEIGHT && v < 1) return 400;
  return v;
}

void load_key(const ProfileAccess& p, const SettingKey& k, const char16_t* style, NoteSettings* n) {
  if (k.kind == KIND_COLORREF || k.kind == KIND_PIXEL_ORDER) {
    int32_t c[3];
    for (int i = 0; i < 3; ++i) {
      KeyName name = key_name(k, style, COMPONENT_SUFFIX[i]);
      c[i] = p.read_int(p.context, name.section, name.key, k.int_default);
    }
    *field<uint32_t>(n, k.offset) = k.kind == KIND_COLORREF ? pack_colorref(c[0], c[1], c[2])
                                                            : pack_pixel_order(c[0], c[1], c[2]);
    return;
  }
  KeyName name = key_name(k, style, nullptr);
  if (k.kind == KIND_INT) {
    int32_t v = p.read_int(p.context, name.section, name.key, k.int_default);
    *field<int32_t>(n, k.offset) = apply_rule(k.rule, v);
  } else if (k.kind == KIND_SIGNED_TEXT) {
    char16_t text[PATH_UNITS];
    p.read_text(p.context, name.section, name.key, k.text_default, text, PATH_UNITS);
    *field<int32_t>(n, k.offset) = text16_to_int(text);
  } else {
    p.read_text(p.context, name.section, name.key, k.text_default, field<char16_t>(n, k.offset),
                k.text_units);
  }
}

bool write_number(const ProfileAccess& p, const char16_t* section, const char16_t* key, int64_t v) {
  char16_t text[24];
  text16_from_int(text, 24, v);
  return p.write_text(p.context, section, key, text);
}

// Writes one key (three for a colour); the result is that of the first write.
bool save_key(const ProfileAccess& p, const SettingKey& k, const char16_t* style, const NoteSettings& n) {
  if (k.kind == KIND_COLORREF || k.kind == KIND_PIXEL_ORDER) {
    uint32_t c = *field<uint32_t>(&n, k.offset);
    bool first = true;
    for (int i = 0; i < 3; ++i) {
      KeyName name = key_name(k, style, COMPONENT_SUFFIX[i]);
      int32_t v = k.kind == KIND_COLORREF ? colorref_component(c, i) : pixel_order_component(c, i);
      bool ok = write_number(p, name.section, name.key, v);
      if (i == 0) first = ok;
    }
    return first;
  }
  KeyName name = key_name(k, style, nullptr);
  if (k.kind == KIND_TEXT) return p.write_text(p.context, name.section, name.key, field<char16_t>(&n, k.offset));
  return write_number(p, name.section, name.key, *field<int32_t>(&n, k.offset));
}

void palette_key(const char16_t* prefix, int entry, int component, char16_t* key, size_t cap) {
  char16_t number[4] = {static_cast<char16_t>(u'0' + entry / 10), static_cast<char16_t>(u'0' + entry % 10), 0};
  key[0] = 0;
  text16_append(key, cap, prefix);
  text16_append(key, cap, number);
  text16_append(key, cap, COMPONENT_SUFFIX[component]);
}

void load_palette(const ProfileAccess& p, const char16_t* prefix, uint32_t* palette) {
  for (int i = 0; i < PALETTE_ENTRIES; ++i) {
    int32_t c[3];
    for (int k = 0; k < 3; ++k) {
      char16_t key[32];
      palette_key(prefix, i + 1, k, key, 32);
      c[k] = p.read_int(p.context, u"PALETTE", key, 255);
    }
    palette[i] = pack_colorref(c[0], c[1], c[2]);
  }
}

void save_palette(const ProfileAccess& p, const char16_t* prefix, const uint32_t* palette) {
  for (int i = 0; i < PALETTE_ENTRIES; ++i)
    for (int k = 0; k < 3; ++k) {
      char16_t key[32];
      palette_key(prefix, i + 1, k, key, 32);
      write_number(p, u"PALETTE", key, colorref_component(palette[i], k));
    }
}

}  // namespace

uint32_t pack_colorref(int32_t r, int32_t g, int32_t b) {
  return (static_cast<uint32_t>(r) & 0xFF) | ((static_cast<uint32_t>(g) & 0xFF) << 8) |
         ((static_cast<uint32_t>(b) & 0xFF) << 16);
}

uint32_t pack_pixel_order(int32_t r, int32_t g, int32_t b) {
  return ((static_cast<uint32_t>(r) & 0xFF) << 16) | ((static_cast<uint32_t>(g) & 0xFF) << 8) |
         (static_cast<uint32_t>(b) & 0xFF);
}

int32_t colorref_component(uint32_t c, int component) {
  return static_cast<int32_t>((c >> (8 * component)) & 0xFF);
}

int32_t pixel_order_component(uint32_t c, int component) {
  return static_cast<int32_t>((c >> (8 * (2 - component))) & 0xFF);
}

void set_default_editor_settings(EditorSettings* s) {
  std::memset(s, 0, sizeof *s);
  set_default_note_settings(&s->note);
  for (int i = 0; i < PALETTE_ENTRIES; ++i) s->background_palette[i] = s->text_palette[i] = 0x00FFFFFF;
}

void load_settings_from(const ProfileAccess& p, EditorSettings* s) {
  for (size_t i = 0; i < KEY_COUNT; ++i) load_key(p, KEYS[i], nullptr, &s->note);
  load_palette(p, u"BG_COLOR_", s->background_palette);
  load_palette(p, u"FONT_COLOR_", s->text_palette);
  s->escape_message = p.read_int(p.context, u"OPTION", u"ESCAPE_MSG", 0);
}

bool save_note_settings_to(const ProfileAccess& p, const NoteSettings& n) {
  if (!save_key(p, KEYS[0], nullptr, n)) return false;
  for (size_t i = 1; i < KEY_COUNT; ++i) save_key(p, KEYS[i], nullptr, n);
  return true;
}

void save_palettes_to(const ProfileAccess& p, const EditorSettings& s) {
  save_palette(p, u"BG_COLOR_", s.background_palette);
  save_palette(p, u"FONT_COLOR_", s.text_palette);
}

bool save_escape_message_to(const ProfileAccess& p, int32_t escape_message) {
  return p.write_text(p.context, u"OPTION", u"ESCAPE_MSG", escape_message ? u"1" : u"0");
}

void style_section(int slot, char16_t* buf, size_t cap) {
  char16_t number[24];
  text16_from_int(number, 24, slot);
  text16_copy(buf, cap, u"STYLE_");
  text16_append(buf, cap, number);
}

void load_style_from(const ProfileAccess& p, int slot, NoteSettings* n, int32_t* outer_width,
                     int32_t* outer_height) {
  char16_t section[32];
  style_section(slot, section, 32);
  load_key(p, KEYS[0], section, n);
  *outer_width = p.read_int(p.context, section, u"WINDOW_WIDTH", STYLE_DEFAULT_WIDTH);
  *outer_height = p.read_int(p.context, section, u"WINDOW_HEIGHT", STYLE_DEFAULT_HEIGHT);
  for (size_t i = 1; i < KEY_COUNT; ++i) load_key(p, KEYS[i], section, n);
}

bool save_style_to(const ProfileAccess& p, int slot, const NoteSettings& n, int32_t outer_width,
                   int32_t outer_height) {
  char16_t section[32];
  style_section(slot, section, 32);
  if (!save_key(p, KEYS[0], section, n)) return false;
  write_number(p, section, u"WINDOW_WIDTH", outer_width);
  write_number(p, section, u"WINDOW_HEIGHT", outer_height);
  for (size_t i = 1; i < KEY_COUNT; ++i) save_key(p, KEYS[i], section, n);
  return true;
}

void compose_settings_path(const char16_t* folder, const char16_t* user, char16_t* out) {
  static const char16_t SUFFIX[] = u" Tessark.ini";
  static const char16_t HERE[] = u".\\";
  if (!user || !*user) user = u"user";
  if (!folder || !*folder) folder = HERE;
  size_t needed = text16_length(folder) + text16_length(user) + text16_length(SUFFIX);
  if (needed > PATH_UNITS - 1) folder = HERE;
  // Leave room for the folder and the suffix; a user name never comes close.
  size_t user_room = PATH_UNITS - text16_length(folder) - text16_length(SUFFIX);
  char16_t cut_user[PATH_UNITS];
  text16_copy(cut_user, user_room, user);
  text16_copy(out, PATH_UNITS, folder);
  text16_append(out, PATH_UNITS, cut_user);
  text16_append(out, PATH_UNITS, SUFFIX);
}
