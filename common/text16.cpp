// Bounded UTF-16 string helpers shared by the core codecs and stores.
#include "common/text16.h"

size_t text16_length(const char16_t* s) {
  size_t n = 0;
  while (s[n]) ++n;
  return n;
}

size_t text16_copy(char16_t* dst, size_t cap, const char16_t* src) {
  if (cap == 0) return 0;
  size_t n = 0;
  while (n + 1 < cap && src[n]) {
    dst[n] = src[n];
    ++n;
  }
  dst[n] = 0;
  return n;
}

size_t text16_append(char16_t* dst, size_t cap, const char16_t* src) {
  size_t used = text16_length(dst);
  if (used >= cap) return used;
  return used + text16_copy(dst + used, cap - used, src);
}

size_t text16_from_int(char16_t* dst, size_t cap, int64_t value) {
  char16_t digits[24];
  size_t n = 0;
  // Work on the magnitude as unsigned so that INT64_MIN does not overflow.
  uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  do {
    digits[n++] = static_cast<char16_t>(u'0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude);
  if (value < 0) digits[n++] = u'-';
  char16_t text[24];
  for (size_t i = 0; i < n; ++i) text[i] = digits[n - 1 - i];
  text[n] = 0;
  return text16_copy(dst, cap, text);
}

static bool is_space16(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\v' || c == u'\f';
}

int32_t text16_to_int(const char16_t* s) {
  while (is_space16(*s)) ++s;
  bool negative = false;
  if (*s == u'-' || *s == u'+') negative = (*s++ == u'-');
  int64_t value = 0;
  while (*s >= u'0' && *s <= u'9') {
    if (value <= 2147483648LL) value = value * 10 + (*s - u'0');
    ++s;
  }
  if (negative) value = -value;
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(value);
}

bool text16_equal(const char16_t* a, const char16_t* b) {
  while (*a && *a == *b) {
    ++a;
    ++b;
  }
  return *a == *b;
}
