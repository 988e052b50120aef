// The settings loader over arbitrary profile values: every text stays
// terminated within its field and every loading rule holds.
#include <cstdlib>
#include <string>
#include "common/text16.h"
#include "editor/settings_store.h"
#include "fuzz_input.h"

namespace {
struct FuzzProfile {
  const uint8_t* data;
  size_t size;
  size_t calls = 0;
  // Each key gets a slice of the input as its value; some keys are missing.
  std::u16string value(bool* present) {
    size_t at = (calls++ * 37) % (size ? size : 1);
    *present = size && (data[at] & 1);
    size_t len = size ? data[at] % 64 : 0;
    return fuzz_text16(data + at, size - at < 2 * len ? size - at : 2 * len, len);
  }
  static int32_t read_int(void* c, const char16_t*, const char16_t*, int32_t def) {
    bool present;
    std::u16string v = static_cast<FuzzProfile*>(c)->value(&present);
    return present ? text16_to_int(v.c_str()) : def;
  }
  static void read_text(void* c, const char16_t*, const char16_t*, const char16_t* def, char16_t* buf,
                        size_t cap) {
    bool present;
    std::u16string v = static_cast<FuzzProfile*>(c)->value(&present);
    if (present && v.size() < 2) v = std::u16string(3000, u'x');  // overlong values too
    text16_copy(buf, cap, present ? v.c_str() : def);
  }
  static bool write_text(void*, const char16_t*, const char16_t*, const char16_t*) { return true; }
};

void check(const NoteSettings& n) {
  if (n.margin < 0 || n.auto_close_seconds < 0 || n.font_weight < 1) abort();
  if (text16_length(n.face_name) >= FACE_NAME_UNITS) abort();
  if (text16_length(n.image_path) >= PATH_UNITS || text16_length(n.icon_path) >= PATH_UNITS) abort();
  if (n.background_color > 0xFFFFFF || n.text_color > 0xFFFFFF || n.transparent_color > 0xFFFFFF) abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzProfile p{data, size};
  ProfileAccess access{&p, FuzzProfile::read_int, FuzzProfile::read_text, FuzzProfile::write_text};
  EditorSettings s;
  set_default_editor_settings(&s);
  load_settings_from(access, &s);
  check(s.note);
  for (int i = 0; i < PALETTE_ENTRIES; ++i)
    if (s.background_palette[i] > 0xFFFFFF || s.text_palette[i] > 0xFFFFFF) abort();
  int32_t w, h;
  load_style_from(access, 1 + (size % 9), &s.note, &w, &h);
  check(s.note);
  return 0;
}
