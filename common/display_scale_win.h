// Display scale on Windows: the process declares itself per-monitor DPI
// aware, and windows ask for the DPI they are drawn at. The calls are looked
// up at run time, so the programs still start on a Windows without them.
#pragma once
#include <windows.h>

// The user32 function of that name, null where this Windows has none.
void* user32_call(const char* name);

// Makes the process per-monitor DPI aware (version 2, else version 1, else
// system aware). Call first thing, before any window exists. A platform that
// refuses (awareness already set, or none to set) is left as it is.
void enable_display_scaling();

// The DPI window is drawn at: its monitor's under per-monitor awareness, the
// system's otherwise; 96 when nothing tells.
int window_dpi(HWND window);

// The DPI a device context of the whole screen reports (LOGPIXELSY); 96
// when it tells nothing.
int system_dpi();

// The DPI of the monitor that holds point (the nearest one), as a window
// opened there would get it; the system's DPI where monitors have none.
int monitor_dpi_at(POINT point);

// WM_NCCREATE: asks Windows 10 1607 to draw the caption and menu bar at the
// window's own DPI, which later versions do by themselves for per-monitor
// version 2. Nothing where the call does not exist.
void enable_frame_scaling(HWND window);

// Whether caption, borders and menu bar are drawn at each window's DPI
// (Windows 10 1607 and later); before that they keep the system's.
bool frame_follows_window_dpi();

// For the common colour and font choosers, which know nothing of per-monitor
// scaling: makes the calling thread system aware, so that Windows scales
// them as a whole, and returns the context to give back to
// leave_system_aware(); null, and nothing changed, where Windows has no
// thread contexts.
HANDLE enter_system_aware();
void leave_system_aware(HANDLE previous);
