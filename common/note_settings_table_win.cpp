// Note settings table entries read with LoadStringW.
#include "common/note_settings_table_win.h"
#include "common/text16.h"

int note_setting(HINSTANCE module, int id, wchar_t* buf, int cap) {
  if (cap <= 0) return 0;
  buf[0] = 0;
  int n = LoadStringW(module, id, buf, cap);
  if (n <= 0) {
    buf[0] = 0;
    return 0;
  }
  return n;
}

int note_setting_int(HINSTANCE module, int id, int cap) {
  wchar_t buf[1024];
  if (cap > 1024) cap = 1024;
  note_setting(module, id, buf, cap);
  return text16_to_int(reinterpret_cast<const char16_t*>(buf));
}
