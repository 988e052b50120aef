// The container window: lies under the input window, paints the background
// colour or the stretched background image, and holds the edit control that
// shows the note text in the note's font and colours.
#include "note/note_state_win.h"
#include "note/note_layout.h"
#include "note/note_resources.h"
#include "common/note_settings_table.h"
#include "common/note_settings_table_win.h"
#include "common/display_scale.h"

namespace {

const wchar_t CONTAINER_CLASS[] = L"CONTAINER";
const int TABLE_TEXT_UNITS = 1024;

// Background colour from id 3, then the image of id 11 with the transparent
// colour of id 12, read only when the file has loaded.
void load_note_background(HINSTANCE instance) {
  note_state.background_color =
      static_cast<COLORREF>(note_setting_int(instance, NS_BACKGROUND_COLOR, TABLE_TEXT_UNITS));
  wchar_t path[TABLE_TEXT_UNITS];
  note_setting(instance, NS_IMAGE_PATH, path, TABLE_TEXT_UNITS);
  HBITMAP loaded = load_bitmap_file(path);
  uint32_t transparent =
      loaded ? static_cast<uint32_t>(note_setting_int(instance, NS_TRANSPARENT_COLOR, TABLE_TEXT_UNITS)) : 0;
  note_state.image = prepare_background_bitmap(loaded, note_state.background_color, transparent);
}

LRESULT on_container_create(HWND container) {
  HINSTANCE instance = note_state.instance;
  note_state.text_color = static_cast<COLORREF>(note_setting_int(instance, NS_TEXT_COLOR, 16));
  note_state.edit = CreateWindowExW(0, L"EDIT", note_state.text, WS_CHILD | WS_VISIBLE | ES_MULTILINE,
                                    note_state.margin, note_state.margin, 1, 1, container,
                                    reinterpret_cast<HMENU>(NOTE_EDIT_CONTROL_ID), instance, nullptr);
  apply_note_font(instance);
  return 0;
}

// Text in the text colour; behind it the background colour, or nothing so
// that the stretched image shows between the letters.
LRESULT on_ctlcoloredit(HDC dc) {
  if (note_state.image.bitmap) {
    SetBkMode(dc, TRANSPARENT);
  } else {
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, note_state.background_color);
  }
  SetTextColor(dc, note_state.text_color);
  return reinterpret_cast<LRESULT>(note_state.container_brush);
}

LRESULT CALLBACK container_window_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CREATE:  // the edit control with the text and the note font
      return on_container_create(hwnd);
    case WM_DESTROY:  // a stock brush needs no deleting, a solid one does
      if (!note_state.image.bitmap) DeleteObject(note_state.container_brush);
      break;
    case WM_SIZE:  // the text area keeps the margin on every side
      SetWindowPos(note_state.edit, nullptr, 0, 0, edit_extent(LOWORD(lp), note_state.margin),
                   edit_extent(HIWORD(lp), note_state.margin), SWP_NOZORDER | SWP_NOMOVE);
      break;
    case WM_PAINT:  // the class brush paints a note without image
      if (!note_state.image.bitmap) break;
      paint_background_image(hwnd, note_state.image);
      return 0;
    case WM_CTLCOLOREDIT:
      if (reinterpret_cast<HWND>(lp) != note_state.edit) break;
      return on_ctlcoloredit(reinterpret_cast<HDC>(wp));
    case WM_DPICHANGED:  // the input window rescales the note; this one follows it
      return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

HWND create_container_window(HINSTANCE instance) {
  load_note_background(instance);
  note_state.container_brush = note_state.image.bitmap ? static_cast<HBRUSH>(GetStockObject(NULL_BRUSH))
                                                       : CreateSolidBrush(note_state.background_color);
  WNDCLASSEXW wc;
  ZeroMemory(&wc, sizeof wc);
  wc.cbSize = sizeof wc;
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = container_window_proc;
  wc.hInstance = instance;
  wc.hCursor = static_cast<HCURSOR>(LoadImageW(nullptr, IDC_ARROW, IMAGE_CURSOR, 0, 0, LR_SHARED | LR_DEFAULTSIZE));
  wc.hbrBackground = note_state.container_brush;
  wc.lpszClassName = CONTAINER_CLASS;
  if (!RegisterClassExW(&wc)) return nullptr;
  return CreateWindowExW(WS_EX_TOOLWINDOW, CONTAINER_CLASS, L"", WS_POPUP | WS_VISIBLE, 0, 0, 1, 1, nullptr,
                         nullptr, instance, nullptr);
}

void apply_note_font(HINSTANCE instance) {
  int height = scale_to_screen(note_setting_int(instance, NS_FONT_HEIGHT, 32), note_state.dpi);
  int width = scale_to_screen(note_setting_int(instance, NS_FONT_WIDTH, 32), note_state.dpi);
  int weight = note_setting_int(instance, NS_FONT_WEIGHT, 32);
  int italic = note_setting_int(instance, NS_FONT_ITALIC, 32);
  wchar_t face[32];
  note_setting(instance, NS_FACE_NAME, face, 32);
  // Pitch and family 0, as the preview asks: the font mapper weighs a pitch
  // request above the face name and would swap a proportional face for
  // some fixed-pitch one.
  HFONT previous = note_state.font;
  note_state.font = CreateFontW(height, width, 0, 0, weight, italic != 0, FALSE, FALSE, DEFAULT_CHARSET, 0,
                                0, 0, DEFAULT_PITCH | FF_DONTCARE, face);
  // A replaced font is redrawn at once; the first one shows with the window.
  SendMessageW(note_state.edit, WM_SETFONT, reinterpret_cast<WPARAM>(note_state.font), previous != nullptr);
  if (previous) DeleteObject(previous);
}

int note_margin(HINSTANCE instance) {
  return scale_to_screen(note_setting_int(instance, NS_MARGIN, 32), note_state.dpi);
}

void rescale_note(HWND input_window, int dpi, const RECT& suggested) {
  note_state.dpi = dpi;
  note_state.margin = note_margin(note_state.instance);
  apply_note_font(note_state.instance);
  // The container follows the input window; the edit control takes the new
  // margin even where the suggested size is the old one.
  SetWindowPos(input_window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  RECT client;
  if (!note_state.container || !GetClientRect(note_state.container, &client)) return;
  SetWindowPos(note_state.edit, nullptr, note_state.margin, note_state.margin,
               edit_extent(client.right, note_state.margin), edit_extent(client.bottom, note_state.margin),
               SWP_NOZORDER | SWP_NOACTIVATE);
}
