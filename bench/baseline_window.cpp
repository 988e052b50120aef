// The smallest comparable Win32 program: one popup window with a solid
// background at the cursor, closed by a click or a key. The note start-up
// benchmark measures it beside the note to tell the note's own cost from
// Wine's cost of starting any GUI program.
#include <windows.h>

static LRESULT CALLBACK baseline_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_DESTROY:  // the program ends with its window
      PostQuitMessage(0);
      return 0;
    case WM_KEYDOWN:  // a key or a click closes it, like a note
    case WM_LBUTTONUP:
      PostMessageW(hwnd, WM_CLOSE, 0, 0);
      return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
  WNDCLASSW wc = {};
  wc.lpfnWndProc = baseline_proc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = CreateSolidBrush(RGB(255, 255, 255));
  wc.lpszClassName = L"TESSARK_BASELINE";
  if (!RegisterClassW(&wc)) return -1;
  POINT p;
  GetCursorPos(&p);
  if (!CreateWindowExW(0, wc.lpszClassName, L"baseline", WS_POPUP | WS_VISIBLE, p.x, p.y, 300, 200, nullptr,
                       nullptr, instance, nullptr))
    return -1;
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}
