// The input window: practically invisible, it takes every click, key and
// wheel turn of a note, carries the container with it, and owns the
// auto-close thread.
#include "note/note_state_win.h"
#include "note/note_layout.h"
#include "common/note_settings_table.h"
#include "common/note_settings_table_win.h"

namespace {

// The container takes the input window's whole rectangle in one call, on
// WM_MOVE and WM_SIZE alike. Moving and sizing it in two calls made two
// requests to the window manager, and its late answer to the move could
// put the old size back after the resize (seen under Wine with openbox).
// Once it fits, the second message finds nothing to change.
void follow_input_window(HWND input) {
  RECT r;
  GetWindowRect(input, &r);
  SetWindowPos(note_state.container, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT on_input_create(HWND input) {
  note_state.input = input;
  HANDLE thread = CreateThread(nullptr, 0, auto_close_thread, input, 0, nullptr);
  if (thread) CloseHandle(thread);
  // Practically invisible, yet it takes every click and key.
  SetLayeredWindowAttributes(input, 0, 1, LWA_ALPHA);
  note_state.container = create_container_window(note_state.instance);
  return 0;
}

}  // namespace

LRESULT CALLBACK input_window_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CREATE:  // start the auto-close thread, make the container
      return on_input_create(hwnd);
    case WM_DESTROY:  // the note ends with its input window
      PostQuitMessage(0);
      return 0;
    case WM_MOVE:  // the container lies exactly under the input window
      if (note_state.container) follow_input_window(hwnd);
      return 0;
    case WM_SIZE:
      if (note_state.container) follow_input_window(hwnd);
      break;
    case WM_ACTIVATE:  // keep the container directly below in the z-order
      if (note_state.container)
        SetWindowPos(note_state.container, hwnd, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      break;
    case WM_KEYDOWN:  // a key closes the note
      PostMessageW(hwnd, WM_CLOSE, 0, 0);
      return 0;
    case WM_LBUTTONDOWN:  // a click closes it on release; remember the press
      note_state.pressed |= MK_LBUTTON;
      break;
    case WM_RBUTTONDOWN:
      note_state.pressed |= MK_RBUTTON;
      break;
    case WM_LBUTTONUP:  // a release without its press in the note (the end
    case WM_RBUTTONUP:  // of the double-click that started it) leaves it open
      if (note_state.pressed & (msg == WM_LBUTTONUP ? MK_LBUTTON : MK_RBUTTON))
        PostMessageW(hwnd, WM_CLOSE, 0, 0);
      return 0;
    case WM_MOUSEWHEEL:
      zoom_note_window(wp, hwnd);
      return 0;
    case WM_DPICHANGED:  // another monitor or a new scale: the note keeps its look
      rescale_note(hwnd, HIWORD(wp), *reinterpret_cast<const RECT*>(lp));
      return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

DWORD WINAPI auto_close_thread(LPVOID input_window) {
  HWND input = static_cast<HWND>(input_window);
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(input, GWLP_HINSTANCE));
  uint64_t ms = auto_close_milliseconds(note_setting_int(instance, NS_AUTO_CLOSE_SECONDS, 16));
  if (ms == 0) return 0;
  // Sleep takes at most 0xFFFFFFFE finite milliseconds; longer times go in steps.
  while (ms > 0) {
    DWORD step = ms > 0x7FFFFFFFu ? 0x7FFFFFFFu : static_cast<DWORD>(ms);
    Sleep(step);
    ms -= step;
  }
  PostMessageW(input, WM_CLOSE, 0, 0);
  return 0;
}

void zoom_note_window(WPARAM wheel, HWND input_window) {
  RECT r;
  GetWindowRect(input_window, &r);
  NoteRect now = {r.left, r.top, r.right - r.left, r.bottom - r.top};
  NoteRect next = zoom_note_rect(wheel_delta(static_cast<uint32_t>(wheel)), now,
                                 note_monitor(MonitorFromWindow(input_window, MONITOR_DEFAULTTONEAREST)),
                                 note_state.dpi);
  SetWindowPos(input_window, nullptr, next.x, next.y, next.width, next.height, SWP_NOZORDER);
}
