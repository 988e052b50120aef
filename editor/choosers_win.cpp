// Colour and font choosers of the preview.
#include "editor/choosers_win.h"
#include <commdlg.h>
#include <cwchar>
#include "common/display_scale.h"
#include "common/display_scale_win.h"
#include "common/text16.h"
#include "editor/dialog_values.h"
#include "editor/editor_state_win.h"
#include "editor/preview_win.h"
#include "editor/settings_store_win.h"

void report_brush_failure(HWND owner) {
  MessageBoxW(owner, L"新しい背景用ブラシの作成に失敗しました", L"エラー", MB_OK | MB_ICONWARNING);
}

void choose_note_color(HWND owner, COLORREF initial, COLORREF* palette, ColorChosenFn on_chosen) {
  CHOOSECOLORW cc = {};
  cc.lStructSize = sizeof cc;
  cc.hwndOwner = owner;
  cc.rgbResult = initial;
  cc.lpCustColors = palette;
  cc.Flags = CC_RGBINIT;
  // The chooser lays itself out for one DPI: Windows scales it as a whole.
  HANDLE context = enter_system_aware();
  BOOL chosen = ChooseColorW(&cc);
  leave_system_aware(context);
  if (chosen) on_chosen(owner, cc.rgbResult);
  // Custom colours edited in a cancelled chooser are kept as well.
  save_palettes();
}

void on_background_color_chosen(HWND owner, COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  if (!brush) {
    report_brush_failure(owner);
    return;
  }
  g_settings.note.background_color = colour;
  // The picture's transparent pixels take the background colour at load time.
  if (g_settings.note.image_enabled) load_preview_background_image(owner);
  adopt_background_brush(owner, brush);
  InvalidateRect(owner, nullptr, TRUE);
  save_editor_settings(owner);
}

void on_text_color_chosen(HWND owner, COLORREF colour) {
  g_settings.note.text_color = colour;
  InvalidateRect(owner, nullptr, TRUE);
  save_editor_settings(owner);
}

void choose_note_font(HWND main_window) {
  NoteSettings& n = g_settings.note;
  // The chooser lays itself out for one DPI, so Windows scales it as a
  // whole; it turns points into pixels with the whole screen's DPI.
  HANDLE context = enter_system_aware();
  int dpi = system_dpi();
  LOGFONTW lf = {};
  lf.lfHeight = chooser_font_height(n.font_height, dpi);
  lf.lfWeight = n.font_weight;
  lf.lfItalic = n.font_italic ? 1 : 0;
  wcsncpy(lf.lfFaceName, reinterpret_cast<const wchar_t*>(n.face_name), LF_FACESIZE - 1);
  CHOOSEFONTW cf = {};
  cf.lStructSize = sizeof cf;
  cf.hwndOwner = main_window;
  cf.lpLogFont = &lf;
  cf.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT;
  BOOL chosen = ChooseFontW(&cf);
  leave_system_aware(context);
  if (!chosen) return;
  n.font_height = stored_chosen_font_height(lf.lfHeight, cf.iPointSize, dpi);
  n.font_width = scale_to_stored(lf.lfWidth, dpi);
  n.font_weight = lf.lfWeight;
  n.font_italic = lf.lfItalic;
  lf.lfFaceName[LF_FACESIZE - 1] = 0;
  text16_copy(n.face_name, FACE_NAME_UNITS, reinterpret_cast<const char16_t*>(lf.lfFaceName));
  apply_preview_font(GetDlgItem(main_window, 1));
  InvalidateRect(main_window, nullptr, TRUE);
  save_editor_settings(main_window);
}
