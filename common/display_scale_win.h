// Display scale on Windows: the process declares itself per-monitor DPI
// aware, and windows ask for the DPI they are drawn at. The calls are looked
// up at run time, so the programs still start on a Windows without them.
#pragma once
#include <windows.h>

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
