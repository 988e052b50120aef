// The raw process entry of the note program. The note is linked without the
// C runtime's start-up code, which would be a third of the template: it needs
// no arguments, no thread-local storage, no auto-imported data and no static
// constructors (the build fails if one appears: nothing here would run it).
// The entry calls the GUI entry and ends the process with its result, which
// also ends the auto-close thread.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR command_line, int show);

extern "C" void note_entry() {
  ExitProcess(static_cast<UINT>(wWinMain(GetModuleHandleW(nullptr), nullptr, GetCommandLineW(), SW_SHOWDEFAULT)));
}
