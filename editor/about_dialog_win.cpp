// The About box and its link to the author's web page: blue and plain while
// the pointer is away, red and underlined while it is over the link.
#include <windows.h>
#include <shellapi.h>
#include <cstdint>
#include "common/display_scale.h"
#include "common/display_scale_win.h"
#include "editor/dialog_values.h"
#include "editor/dialogs_win.h"
#include "editor/editor_ids.h"

namespace {

const COLORREF LINK_BLUE = RGB(0, 0, 255);
const COLORREF LINK_RED = RGB(255, 0, 0);
const wchar_t AUTHOR_PAGE[] = L"" AUTHOR_PAGE_URL;

// The About box is modal and opens once at a time: its state lives here
// from WM_INITDIALOG to WM_DESTROY.
struct LinkState {
  HWND link;
  HBRUSH background;
  HFONT normal_font;     // the dialog's; not ours to delete
  HFONT underlined_font;
  WNDPROC previous_proc;
  HCURSOR hand;
  COLORREF colour;
  HICON scaled_icon;     // the application icon at the dialog's scale, or null
};
LinkState g_link;

void show_link(COLORREF colour, HFONT font) {
  g_link.colour = colour;
  SendMessageW(g_link.link, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void reset_link() {
  show_link(LINK_BLUE, g_link.normal_font);
  ReleaseCapture();
}

// The capture tells the link when the pointer leaves it.
LRESULT CALLBACK link_proc(HWND link, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_MOUSEMOVE) {
    if (!GetCapture()) {
      show_link(LINK_RED, g_link.underlined_font);
      SetCapture(link);
    }
    RECT client;
    GetClientRect(link, &client);
    if (pointer_outside(static_cast<uint32_t>(lparam), client.right, client.bottom)) reset_link();
  }
  return CallWindowProcW(g_link.previous_proc, link, message, wparam, lparam);
}

HWND icon_control(HWND dialog) {
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) return child;
  return nullptr;
}

// The icon control shows the application icon at its real size in pixels;
// above 100 % it gets the icon made at that size scaled.
void scale_icon(HWND dialog) {
  int dpi = window_dpi(dialog);
  HWND control = icon_control(dialog);
  HICON shown = control ? reinterpret_cast<HICON>(SendMessageW(control, STM_GETICON, 0, 0)) : nullptr;
  ICONINFO info = {};
  if (dpi == STORED_DPI || !shown || !GetIconInfo(shown, &info)) return;
  BITMAP bm = {};
  GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bm, &bm);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  int size = scale_to_screen(bm.bmWidth, dpi);
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(dialog, GWLP_HINSTANCE));
  g_link.scaled_icon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, size, size, 0));
  if (g_link.scaled_icon) SendMessageW(control, STM_SETICON, reinterpret_cast<WPARAM>(g_link.scaled_icon), 0);
}

void init_about(HWND dialog) {
  set_dialog_small_icon(dialog);
  scale_icon(dialog);
  g_link.link = GetDlgItem(dialog, IDC_LINK);
  g_link.background = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
  g_link.normal_font = reinterpret_cast<HFONT>(SendMessageW(g_link.link, WM_GETFONT, 0, 0));
  LOGFONTW lf = {};
  GetObjectW(g_link.normal_font, sizeof lf, &lf);
  lf.lfUnderline = 1;
  g_link.underlined_font = CreateFontIndirectW(&lf);
  g_link.previous_proc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(g_link.link, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(link_proc)));
  g_link.hand = static_cast<HCURSOR>(LoadImageW(nullptr, IDC_HAND, IMAGE_CURSOR, 0, 0,
                                                LR_SHARED | LR_DEFAULTSIZE));
  g_link.colour = LINK_BLUE;
}

void end_about() {
  SetWindowLongPtrW(g_link.link, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_link.previous_proc));
  DeleteObject(g_link.background);
  DeleteObject(g_link.underlined_font);
  if (g_link.scaled_icon) DestroyIcon(g_link.scaled_icon);
  g_link = LinkState{};
}

INT_PTR on_about_command(HWND dialog, WPARAM wparam) {
  if (LOWORD(wparam) == IDOK) {
    EndDialog(dialog, 1);
    return TRUE;
  }
  if (LOWORD(wparam) != IDC_LINK) return FALSE;  // IDCANCEL too: Escape leaves the box open
  if (HIWORD(wparam) == STN_CLICKED) {
    reset_link();
    ShellExecuteW(nullptr, L"open", AUTHOR_PAGE, nullptr, nullptr, SW_SHOWNORMAL);
  }
  return TRUE;
}

INT_PTR link_colours(HWND control, HDC dc) {
  if (control != g_link.link) return FALSE;
  SetTextColor(dc, g_link.colour);
  SetBkMode(dc, TRANSPARENT);
  return reinterpret_cast<INT_PTR>(g_link.background);
}

// The hand shows over the link only; the other controls keep their cursors.
INT_PTR link_cursor(HWND dialog, HWND under_pointer) {
  if (under_pointer != g_link.link || !g_link.hand) return FALSE;
  SetCursor(g_link.hand);
  SetWindowLongPtrW(dialog, DWLP_MSGRESULT, TRUE);
  return TRUE;
}

}  // namespace

INT_PTR CALLBACK about_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG:
      init_about(dialog);
      return TRUE;
    case WM_CTLCOLORSTATIC:
      return link_colours(reinterpret_cast<HWND>(lparam), reinterpret_cast<HDC>(wparam));
    case WM_SETCURSOR:
      return link_cursor(dialog, reinterpret_cast<HWND>(wparam));
    case WM_COMMAND:
      return on_about_command(dialog, wparam);
    case WM_CLOSE:
      EndDialog(dialog, 1);
      return TRUE;
    case WM_ACTIVATE:  // coming back to the box finds the link at rest
      if (LOWORD(wparam) == WA_ACTIVE || LOWORD(wparam) == WA_CLICKACTIVE) reset_link();
      return FALSE;
    case WM_DESTROY:
      end_about();
      return FALSE;
  }
  return FALSE;
}
