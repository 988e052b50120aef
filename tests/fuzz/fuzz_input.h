// Turning fuzz bytes into the inputs of the core routines.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// The bytes as little-endian UTF-16 units, at most max_units, no terminator inside.
inline std::u16string fuzz_text16(const uint8_t* data, size_t size, size_t max_units) {
  std::u16string text;
  for (size_t i = 0; i + 1 < size && text.size() < max_units; i += 2) {
    char16_t c = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    text.push_back(c ? c : u'?');
  }
  return text;
}
