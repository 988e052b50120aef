// Note paths and editor titles, bounded by their buffers.
#include "editor/builder/note_texts.h"
#include "common/note_name_codec.h"
#include "common/text16.h"

bool format_note_path(const char16_t* desktop, const char16_t* name, char16_t* out, size_t cap) {
  size_t needed = text16_length(desktop) + 1 + text16_length(name) + 4;
  if (cap == 0) return false;
  out[0] = 0;
  if (needed >= cap) return false;
  text16_copy(out, cap, desktop);
  text16_append(out, cap, u"\\");
  text16_append(out, cap, name);
  text16_append(out, cap, u".exe");
  return true;
}

void format_editor_title(const char16_t* note_path, char16_t* out, size_t cap,
                         const CharStepper& step) {
  text16_copy(out, cap, u"Tessark - ");
  text16_append(out, cap, path_file_name(note_path, step));
}
