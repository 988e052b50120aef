// Entry point of Tessark, the editor: display scaling and settings first,
// then the window class with the background brush, the main window and the
// message loop.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include "common/display_scale_win.h"
#include "editor/editor_state_win.h"
#include "editor/main_window_win.h"
#include "editor/settings_store_win.h"

namespace {

bool register_main_class(HINSTANCE instance) {
  WNDCLASSW wc = {};
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = main_window_proc;
  wc.hInstance = instance;
  wc.hIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, 0, 0, LR_SHARED));
  wc.hCursor = static_cast<HCURSOR>(LoadImageW(nullptr, IDC_ARROW, IMAGE_CURSOR, 0, 0, LR_SHARED | LR_DEFAULTSIZE));
  wc.hbrBackground = g_editor.background_brush;
  wc.lpszMenuName = L"TESSARK_MENU";
  wc.lpszClassName = L"TESSARK_MAIN";
  return RegisterClassW(&wc) != 0;
}

int run_message_loop(HWND window, HACCEL accelerators) {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (TranslateAcceleratorW(window, accelerators, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

// The dialogs' up-down controls live in the common controls library, which
// nothing else of the editor would load.
void load_common_controls() {
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_UPDOWN_CLASS};
  InitCommonControlsEx(&icc);
}

// Settings, window and message loop; -1 when the window cannot be made.
int run_editor(HINSTANCE instance) {
  load_editor_settings();
  load_common_controls();
  g_editor.instance = instance;
  g_editor.background_brush = CreateSolidBrush(g_settings.note.background_color);
  if (!g_editor.background_brush) return -1;
  if (!register_main_class(instance) || !create_main_window(instance)) {
    DeleteObject(g_editor.background_brush);
    return -1;
  }
  HACCEL accelerators = LoadAcceleratorsW(instance, L"TESSARK_ACC");
  int code = run_message_loop(g_editor.main_window, accelerators);
  DeleteObject(g_editor.background_brush);
  if (g_editor.preview_font) DeleteObject(g_editor.preview_font);
  return code;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
  // Before any window exists: the manifest says so too, but a platform that
  // reads no manifest (or was told otherwise) is asked here.
  enable_display_scaling();
  // ShellExecuteW (the folder, the read-me, the About link) and the file
  // choosers may run shell extensions, which need COM on this thread.
  HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  int code = run_editor(instance);
  if (SUCCEEDED(com)) CoUninitialize();
  return code;
}
