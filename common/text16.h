// Bounded UTF-16 string helpers for the portable core (char16_t, never wchar_t,
// which is 32 bits on Linux). Every buffer is given with its capacity in units.
#pragma once
#include <cstddef>
#include <cstdint>

// Units before the terminator.
size_t text16_length(const char16_t* s);

// Copies src into dst (capacity cap, at least 1), cutting it to cap - 1 units;
// always terminates. Returns the number of units copied.
size_t text16_copy(char16_t* dst, size_t cap, const char16_t* src);

// Appends src to the terminated text in dst, bounded by cap. Returns the new length.
size_t text16_append(char16_t* dst, size_t cap, const char16_t* src);

// Writes value in radix 10 ("-" for negatives, no plus, no leading zeros).
// Bounded by cap like text16_copy; returns the units written.
size_t text16_from_int(char16_t* dst, size_t cap, int64_t value);

// C's decimal conversion (_wtoi): leading white space, an optional sign, digits
// up to the first non-digit; 0 without digits. Saturates at the int32 limits.
int32_t text16_to_int(const char16_t* s);

// True when both terminated texts hold the same units.
bool text16_equal(const char16_t* a, const char16_t* b);
