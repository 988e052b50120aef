// The end-to-end driver: a small Win32 program that the Python tests run under
// Wine to act on the programs under test as a user would (find windows, send
// commands and keys, press buttons) and to read what a user sees.
// Each command group lives in its own file and registers itself here.
#pragma once
#include <windows.h>
#include <string>

// A command gets its arguments after the command name and prints its result
// on stdout; it returns the process exit code (0 for success).
typedef int (*DriverCommandFn)(int argc, wchar_t** argv);

struct DriverCommandRegistrar {
  DriverCommandRegistrar(const wchar_t* name, DriverCommandFn fn, const wchar_t* usage);
};

#define DRIVER_COMMAND(name, usage)                                                   \
  static int driver_cmd_##name([[maybe_unused]] int argc, [[maybe_unused]] wchar_t** argv); \
  static DriverCommandRegistrar driver_reg_##name(L## #name, driver_cmd_##name, usage); \
  static int driver_cmd_##name([[maybe_unused]] int argc, [[maybe_unused]] wchar_t** argv)

// Helpers shared by command files.
HWND parse_hwnd(const wchar_t* text);               // decimal or 0x hex
void print_utf8(const std::wstring& text);           // stdout, UTF-8, no newline added
std::wstring unescape_arg(const wchar_t* text);      // \n, \r, \t, \\ and \uXXXX
// Waits up to timeout_ms for a top-level window of class (may be empty) whose
// title contains part (may be empty), owned by pid when pid != 0.
HWND wait_top_window(const wchar_t* cls, const wchar_t* part, DWORD pid, DWORD timeout_ms);
