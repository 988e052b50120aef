// The preview's look: font, display mode, margin, edit colours, the editor's
// background picture and the repaints that keep the picture under the text.
#include "editor/preview_win.h"
#include "common/display_scale.h"
#include "common/display_scale_win.h"
#include "editor/editor_state_win.h"
#include "editor/preview_layout.h"
#include "editor/settings_store_win.h"

namespace {
const wchar_t* W(const char16_t* s) { return reinterpret_cast<const wchar_t*>(s); }

void set_class_background(HWND window, HBRUSH brush) {
  SetClassLongPtrW(window, GCLP_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(brush));
}
}  // namespace

void apply_preview_font(HWND edit) {
  const NoteSettings& n = g_settings.note;
  int dpi = window_dpi(edit);
  HFONT font = CreateFontW(scale_to_screen(n.font_height, dpi), scale_to_screen(n.font_width, dpi), 0, 0, n.font_weight, n.font_italic ? TRUE : FALSE,
                           FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, W(n.face_name));
  SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  // The edit control now holds the new font; the old one would only leak.
  if (g_editor.preview_font) DeleteObject(g_editor.preview_font);
  g_editor.preview_font = font;
}

bool preview_in_image_mode() {
  return background_image_mode(g_settings.note.image_enabled, g_editor.background.bitmap != nullptr);
}

void apply_background_mode(HWND main_window) {
  if (preview_in_image_mode()) {
    SetTimer(main_window, SELECTION_POLL_TIMER, SELECTION_POLL_MS, nullptr);
    set_class_background(main_window, static_cast<HBRUSH>(GetStockObject(NULL_BRUSH)));
  } else {
    KillTimer(main_window, SELECTION_POLL_TIMER);
    set_class_background(main_window, g_editor.background_brush);
  }
}

void adopt_background_brush(HWND main_window, HBRUSH brush) {
  HBRUSH old = g_editor.background_brush;
  g_editor.background_brush = brush;
  apply_background_mode(main_window);
  if (old && old != brush) DeleteObject(old);
}

void place_edit_control(HWND main_window) {
  RECT client;
  GetClientRect(main_window, &client);
  EditPlacement p = edit_placement(client.right, client.bottom,
                                   scale_to_screen(g_settings.note.margin, window_dpi(main_window)));
  SetWindowPos(GetDlgItem(main_window, 1), nullptr, p.x, p.y, p.width, p.height, SWP_NOZORDER);
}

void apply_margin(HWND main_window) {
  place_edit_control(main_window);
  InvalidateRect(main_window, nullptr, TRUE);
  save_editor_settings(main_window);
}

void load_preview_background_image(HWND owner) {
  const NoteSettings& n = g_settings.note;
  BackgroundBitmap fresh = load_background_image(W(n.image_path), n.background_color, n.transparent_color);
  HBITMAP old = g_editor.background.bitmap;
  g_editor.background = fresh;
  if (old && old != fresh.bitmap) DeleteObject(old);
  if (!fresh.bitmap)
    MessageBoxW(owner, L"背景画像用BMPオブジェクトの作成に失敗しました", L"エラー", MB_OK | MB_ICONWARNING);
}

LRESULT edit_colors(HWND main_window, HDC dc) {
  if (preview_in_image_mode()) {
    SetBkMode(dc, TRANSPARENT);
  } else {
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, g_settings.note.background_color);
  }
  SetTextColor(dc, g_settings.note.text_color);
  return static_cast<LRESULT>(GetClassLongPtrW(main_window, GCLP_HBRBACKGROUND));
}

void poll_selection(HWND main_window) {
  DWORD selection = static_cast<DWORD>(SendMessageW(g_editor.edit, EM_GETSEL, 0, 0));
  if (selection == g_editor.last_selection) return;
  g_editor.last_selection = selection;
  InvalidateRect(main_window, nullptr, FALSE);
}

void on_edit_update(HWND main_window) {
  if (preview_in_image_mode()) InvalidateRect(main_window, nullptr, FALSE);
}
