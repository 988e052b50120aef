// The labels of the nine style sub-menus and the slot arithmetic of the
// style commands: pure text work, shared by the menu and its tests.
#pragma once
#include <cstddef>

enum { STYLE_LABEL_UNITS = 1024 };

// The style slot (1 to 9) of a load command (1012 to 1020) or of a save
// command (1021 to 1029); 0 for any other command.
int style_slot_of_load(int command);
int style_slot_of_save(int command);

// "スタイル%c - %s(&%d)" for a non-empty name, "スタイル%c(&%d)" otherwise, with
// %c the full-width digit of slot and %d its ASCII digit. The name is
// inserted unchanged, but cut (never inside a surrogate pair) so that the
// label keeps its "(&n)" ending within cap units. cap >= 16.
void format_style_label(int slot, const char16_t* name, char16_t* out, size_t cap);
