// Per-monitor DPI awareness and DPI queries through calls found at run time
// (user32 from Windows 10 1607 and 1703, shcore from Windows 8.1).
#include "common/display_scale_win.h"
#include "common/display_scale.h"

namespace {

// The documented values of the awareness contexts (windef.h of Windows 10).
const HANDLE PER_MONITOR_AWARE_V2 = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4));
const HANDLE PER_MONITOR_AWARE = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-3));
const HANDLE SYSTEM_AWARE = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-2));
const int PROCESS_PER_MONITOR_DPI_AWARE_VALUE = 2;
const int MDT_EFFECTIVE_DPI_VALUE = 0;

typedef BOOL(WINAPI* SetContextFn)(HANDLE);
typedef HRESULT(WINAPI* SetAwarenessFn)(int);
typedef BOOL(WINAPI* SetAwareFn)();
typedef UINT(WINAPI* DpiForWindowFn)(HWND);
typedef HRESULT(WINAPI* DpiForMonitorFn)(HMONITOR, int, UINT*, UINT*);
typedef BOOL(WINAPI* EnableScalingFn)(HWND);
typedef HANDLE(WINAPI* SetThreadContextFn)(HANDLE);

void* shcore_call(const char* name) {
  HMODULE shcore = GetModuleHandleW(L"shcore.dll");
  if (!shcore) shcore = LoadLibraryExW(L"shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  return shcore ? reinterpret_cast<void*>(GetProcAddress(shcore, name)) : nullptr;
}

// The monitor's DPI as the process's awareness sees it (96 unaware, the
// system's when system aware); the system's where shcore has no answer.
int monitor_dpi(HMONITOR monitor) {
  DpiForMonitorFn for_monitor = reinterpret_cast<DpiForMonitorFn>(shcore_call("GetDpiForMonitor"));
  UINT x = 0, y = 0;
  if (for_monitor && monitor && SUCCEEDED(for_monitor(monitor, MDT_EFFECTIVE_DPI_VALUE, &x, &y)) && y > 0)
    return static_cast<int>(y);
  return system_dpi();
}

}  // namespace

// As void*: each caller casts to the call's own type, which FARPROC's would
// make a cast between incompatible function types.
void* user32_call(const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name));
}

int system_dpi() {
  HDC screen = GetDC(nullptr);
  int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : STORED_DPI;
}

void enable_display_scaling() {
  SetContextFn set_context = reinterpret_cast<SetContextFn>(user32_call("SetProcessDpiAwarenessContext"));
  if (set_context && (set_context(PER_MONITOR_AWARE_V2) || set_context(PER_MONITOR_AWARE))) return;
  // Where the context call exists but refuses, awareness is already settled.
  if (set_context) return;
  SetAwarenessFn set_awareness = reinterpret_cast<SetAwarenessFn>(shcore_call("SetProcessDpiAwareness"));
  if (set_awareness) {
    set_awareness(PROCESS_PER_MONITOR_DPI_AWARE_VALUE);
    return;
  }
  SetAwareFn set_aware = reinterpret_cast<SetAwareFn>(user32_call("SetProcessDPIAware"));
  if (set_aware) set_aware();
}

int window_dpi(HWND window) {
  DpiForWindowFn for_window = reinterpret_cast<DpiForWindowFn>(user32_call("GetDpiForWindow"));
  UINT dpi = for_window && window ? for_window(window) : 0;
  if (dpi > 0) return static_cast<int>(dpi);
  // Windows 8.1 has per-monitor awareness but no GetDpiForWindow: ask the
  // window's monitor, or a window on a second monitor would get the system's.
  return window ? monitor_dpi(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST)) : system_dpi();
}

int monitor_dpi_at(POINT point) { return monitor_dpi(MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST)); }

void enable_frame_scaling(HWND window) {
  EnableScalingFn enable = reinterpret_cast<EnableScalingFn>(user32_call("EnableNonClientDpiScaling"));
  if (enable) enable(window);
}

bool frame_follows_window_dpi() {
  return user32_call("AdjustWindowRectExForDpi") != nullptr || user32_call("EnableNonClientDpiScaling") != nullptr;
}

HANDLE enter_system_aware() {
  SetThreadContextFn set = reinterpret_cast<SetThreadContextFn>(user32_call("SetThreadDpiAwarenessContext"));
  return set ? set(SYSTEM_AWARE) : nullptr;
}

void leave_system_aware(HANDLE previous) {
  SetThreadContextFn set = reinterpret_cast<SetThreadContextFn>(user32_call("SetThreadDpiAwarenessContext"));
  if (set && previous) set(previous);
}
