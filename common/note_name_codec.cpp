// Escaping and unescaping of note texts as file names.
#include "common/note_name_codec.h"
#include <cstdio>

namespace {

const char16_t CR = u'\r';
const char16_t ESCAPE = u',';
// Column two (CR stands for a line break) and column three of the escape table.
const char16_t ESCAPED_CHARS[ESCAPE_ROWS] = {u'\\', u'/', u':', u'*', u'?', u'"',
                                             u'<',  u'>', u'|', CR,   u','};
const char16_t SUBSTITUTES[ESCAPE_ROWS] = {u'\uFFE5', u'\uFF0F', u'\uFF1A', u'\uFF0A',
                                           u'\uFF1F', u'\u201D', u'\uFF1C', u'\uFF1E',
                                           u'\uFF5C', u'.',      u','};
const size_t NAME_LIMIT = 1022;  // checked before each character

int find_row(const char16_t* column, char16_t c) {
  for (int r = 0; r < ESCAPE_ROWS; ++r)
    if (column[r] == c) return r;
  return -1;
}

const char16_t* utf16_prev(const char16_t* start, const char16_t* current) {
  if (current <= start) return start;
  const char16_t* p = current - 1;
  if (p > start && *p >= 0xDC00 && *p <= 0xDFFF && p[-1] >= 0xD800 && p[-1] <= 0xDBFF) --p;
  return p;
}

const char16_t* utf16_next(const char16_t* current) {
  if (!*current) return current;
  if (*current >= 0xD800 && *current <= 0xDBFF && current[1] >= 0xDC00 && current[1] <= 0xDFFF)
    return current + 2;
  return current + 1;
}

}  // namespace

const CharStepper UTF16_STEPPER = {utf16_prev, utf16_next};

bool escape_note_text(const char16_t* text, char16_t* name, EscapeCounts* counts) {
  for (int& n : counts->rows) n = 0;
  bool escaped = false;
  size_t used = 0;
  const char16_t* p = text;
  while (*p && used < NAME_LIMIT) {
    char16_t c = *p++;
    int row = find_row(ESCAPED_CHARS, c);
    if (row < 0) {
      name[used++] = c;
      continue;
    }
    name[used++] = ESCAPE;
    name[used++] = SUBSTITUTES[row];
    counts->rows[row]++;
    escaped = true;
    // A line break is CR and whatever unit follows it; a final CR ends the text.
    if (c == CR) {
      if (!*p) break;
      ++p;
    }
  }
  name[used] = 0;
  return escaped;
}

size_t format_escape_message(const EscapeCounts& counts, char16_t* message, size_t cap) {
  // The six lines, with %d standing for the eleven counts in row order.
  static const char16_t LINES[] =
      u"「\\」が「%d」個、「/」が「%d」個、「:」が「%d」個、\n"
      u"「*」が「%d」個、「?」が「%d」個、「\"」が「%d」個、\n"
      u"「<」が「%d」個、「>」が「%d」個、「|」が「%d」個、\n"
      u"「改行」が「%d」個、「,」が「%d」個\n"
      u"のファイル名禁則文字とエスケープ対象文字がありました。\n"
      u"全てエスケープ文字に変換します。";
  if (cap == 0) return 0;
  size_t used = 0;
  int next_count = 0;
  for (const char16_t* p = LINES; *p && used + 1 < cap; ++p) {
    if (p[0] == u'%' && p[1] == u'd') {
      char16_t digits[24];
      text16_from_int(digits, 24, counts.rows[next_count++]);
      for (const char16_t* d = digits; *d && used + 1 < cap; ++d) message[used++] = *d;
      ++p;
    } else {
      message[used++] = *p;
    }
  }
  message[used] = 0;
  return used;
}

void unescape_note_name(const char16_t* name, char16_t* text) {
  size_t used = 0;
  const char16_t* p = name;
  while (*p && used < NAME_LIMIT) {
    char16_t u = *p++;
    int row = u == ESCAPE ? find_row(SUBSTITUTES, *p) : -1;
    if (row < 0 || !*p) {
      text[used++] = u;
      continue;
    }
    ++p;
    if (row == 9) {
      text[used++] = u'\r';
      text[used++] = u'\n';
    } else {
      text[used++] = ESCAPED_CHARS[row];
    }
  }
  text[used] = 0;
}

void strip_extension(char16_t* name, const CharStepper& step) {
  char16_t* end = name + text16_length(name);
  const char16_t* p = end;
  while (p > name) {
    p = step.prev(name, p);
    if (*p == u'.') {
      name[p - name] = 0;
      return;
    }
  }
}

const char16_t* path_file_name(const char16_t* path, const CharStepper& step) {
  const char16_t* p = path + text16_length(path);
  while (p > path) {
    p = step.prev(path, p);
    if (*p == u'\\') return step.next(p);
  }
  return path;
}

bool is_reserved_device_name(const char16_t* file_name) {
  size_t stem = 0;
  while (file_name[stem] && file_name[stem] != u'.') ++stem;
  while (stem > 0 && (file_name[stem - 1] == u' ' || file_name[stem - 1] == u'.')) --stem;
  if (stem != 3 && stem != 4) return false;
  char upper[5] = {};
  for (size_t i = 0; i < stem; ++i) {
    char16_t c = file_name[i];
    if (c > 0x7F) return false;
    upper[i] = static_cast<char>(c >= u'a' && c <= u'z' ? c - u'a' + u'A' : c);
  }
  static const char* const DEVICES[] = {"CON", "PRN", "AUX", "NUL"};
  if (stem == 3) {
    for (const char* d : DEVICES)
      if (upper[0] == d[0] && upper[1] == d[1] && upper[2] == d[2]) return true;
    return false;
  }
  bool port = (upper[0] == 'C' && upper[1] == 'O' && upper[2] == 'M') ||
              (upper[0] == 'L' && upper[1] == 'P' && upper[2] == 'T');
  return port && upper[3] >= '1' && upper[3] <= '9';
}
