// Character stepping through the platform's CharPrevW/CharNextW.
#include <windows.h>
#include "common/note_name_codec_win.h"

static const char16_t* win_prev(const char16_t* start, const char16_t* current) {
  return reinterpret_cast<const char16_t*>(
      CharPrevW(reinterpret_cast<const wchar_t*>(start), reinterpret_cast<const wchar_t*>(current)));
}

static const char16_t* win_next(const char16_t* current) {
  return reinterpret_cast<const char16_t*>(CharNextW(reinterpret_cast<const wchar_t*>(current)));
}

const CharStepper WIN32_STEPPER = {win_prev, win_next};
