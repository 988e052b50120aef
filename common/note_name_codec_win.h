// The note name codec's path helpers stepping with CharPrevW/CharNextW.
#pragma once
#include "common/note_name_codec.h"

extern const CharStepper WIN32_STEPPER;

inline const wchar_t* path_file_name_win(const wchar_t* path) {
  return reinterpret_cast<const wchar_t*>(
      path_file_name(reinterpret_cast<const char16_t*>(path), WIN32_STEPPER));
}
inline void strip_extension_win(wchar_t* name) {
  strip_extension(reinterpret_cast<char16_t*>(name), WIN32_STEPPER);
}
