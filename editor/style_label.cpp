// Style menu labels and the slot numbers of the style commands.
#include "editor/style_label.h"
#include "common/text16.h"

namespace {
const int LOAD_BASE = 1011, SAVE_BASE = 1020, SLOTS = 9;

int slot_from(int command, int base) {
  int slot = command - base;
  return slot >= 1 && slot <= SLOTS ? slot : 0;
}

bool is_high_surrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
}  // namespace

int style_slot_of_load(int command) { return slot_from(command, LOAD_BASE); }
int style_slot_of_save(int command) { return slot_from(command, SAVE_BASE); }

void format_style_label(int slot, const char16_t* name, char16_t* out, size_t cap) {
  const char16_t wide_digit[2] = {static_cast<char16_t>(0xFF10 + slot), 0};
  const char16_t mnemonic[5] = {u'(', u'&', static_cast<char16_t>(u'0' + slot), u')', 0};
  text16_copy(out, cap, u"スタイル");
  text16_append(out, cap, wide_digit);
  if (name && name[0]) {
    text16_append(out, cap, u" - ");
    // Room for the name: everything but the mnemonic and the terminator.
    size_t used = text16_length(out);
    size_t reserved = used + 4 + 1;
    size_t room = cap > reserved ? cap - reserved : 0;
    size_t take = text16_length(name);
    if (take > room) {
      take = room;
      if (take > 0 && is_high_surrogate(name[take - 1])) --take;
    }
    for (size_t i = 0; i < take; ++i) out[used + i] = name[i];
    out[used + take] = 0;
  }
  text16_append(out, cap, mnemonic);
}
