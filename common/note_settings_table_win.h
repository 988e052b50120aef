// Reading a module's note settings table through the platform's string loader.
#pragma once
#include <windows.h>

// Entry id of module's table into buf (capacity cap units) with LoadStringW's
// rules: cut to cap - 1 units, terminated; returns the units copied, 0 for an
// absent or empty entry.
int note_setting(HINSTANCE module, int id, wchar_t* buf, int cap);

// Entry id as a decimal number (_wtoi rules) read through a buffer of cap units.
int note_setting_int(HINSTANCE module, int id, int cap);
