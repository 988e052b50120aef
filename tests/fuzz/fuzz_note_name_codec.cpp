// Escaping and unescaping arbitrary texts and names: no overrun, and
// unescaping an escaped text gives it back while no limit was reached.
#include <cstdlib>
#include "common/note_name_codec.h"
#include "fuzz_input.h"

static bool line_breaks_are_pairs(const std::u16string& t) {
  for (size_t i = 0; i < t.size(); ++i)
    if (t[i] == u'\r' && (i + 1 >= t.size() || t[i + 1] != u'\n')) return false;
  return true;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::u16string text = fuzz_text16(data, size, NOTE_TEXT_UNITS - 1);
  char16_t name[NOTE_TEXT_UNITS];
  EscapeCounts counts;
  escape_note_text(text.c_str(), name, &counts);
  std::u16string escaped(name);
  if (escaped.size() > 1023) abort();

  char16_t back[NOTE_TEXT_UNITS];
  unescape_note_name(name, back);
  // Within the limits (neither direction stopped early) the text comes back.
  if (escaped.size() < 1022 && std::u16string(back).size() < 1022 && line_breaks_are_pairs(text) &&
      std::u16string(back) != text)
    abort();

  // The same bytes taken as a name, and as paths.
  std::u16string raw = fuzz_text16(data, size, NOTE_TEXT_UNITS - 1);
  unescape_note_name(raw.c_str(), back);
  if (std::u16string(back).size() > 1023) abort();
  char16_t message[ESCAPE_MESSAGE_UNITS];
  format_escape_message(counts, message, ESCAPE_MESSAGE_UNITS);
  path_file_name(raw.c_str());
  strip_extension(&raw[0]);
  return 0;
}
