// The editor's preview and style menu on real windows, GDI objects and menus:
// fonts and brushes replaced without leaks, the display modes with their
// timer, the margin layout, and the style labels written into a real menu.
#include <gtest/gtest.h>
#include <windows.h>
#include <cwchar>
#include <string>
#include "common/display_scale_win.h"
#include "common/text16.h"
#include "editor/editor_state_win.h"
#include "editor/main_window_win.h"
#include "editor/preview_win.h"
#include "editor/settings_store_win.h"
#include "editor/styles_win.h"
#include "test_files.h"

namespace {

const wchar_t CLASS_NAME[] = L"TessarkPreviewTest";

LRESULT CALLBACK test_main_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_CTLCOLOREDIT) return edit_colors(window, reinterpret_cast<HDC>(wparam));
  return DefWindowProcW(window, message, wparam, lparam);
}

std::wstring temp_path(const wchar_t* name) { return scratch_folder(L"preview") + L"\\" + name; }

// A main window with an edit control as child 1, both as the editor makes
// them, on fresh default settings kept in a temporary settings file.
class PreviewWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    set_default_editor_settings(&g_settings);
    ini = temp_path(L"tessark preview test.ini");
    DeleteFileW(ini.c_str());
    text16_copy(g_settings.settings_path, PATH_UNITS, reinterpret_cast<const char16_t*>(ini.c_str()));
    g_editor = EditorState{};
    g_editor.background_brush = CreateSolidBrush(g_settings.note.background_color);
    WNDCLASSW wc = {};
    wc.lpfnWndProc = test_main_proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = g_editor.background_brush;
    wc.lpszClassName = CLASS_NAME;
    RegisterClassW(&wc);
    main = CreateWindowExW(0, CLASS_NAME, L"preview", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr,
                           wc.hInstance, nullptr);
    ASSERT_NE(main, nullptr);
    g_editor.main_window = main;
    g_editor.edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_MULTILINE, 10, 10, 1, 1, main,
                                    reinterpret_cast<HMENU>(1), wc.hInstance, nullptr);
    ASSERT_NE(g_editor.edit, nullptr);
  }
  void TearDown() override {
    SetWindowLongPtrW(main, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(test_main_proc));  // no WM_QUIT
    DestroyWindow(main);
    UnregisterClassW(CLASS_NAME, GetModuleHandleW(nullptr));
    if (g_editor.preview_font) DeleteObject(g_editor.preview_font);
    if (g_editor.background.bitmap) DeleteObject(g_editor.background.bitmap);
    DeleteObject(g_editor.background_brush);
    DeleteFileW(ini.c_str());
  }
  HBRUSH class_background() { return reinterpret_cast<HBRUSH>(GetClassLongPtrW(main, GCLP_HBRBACKGROUND)); }
  // True when a WM_TIMER of the selection poll arrives within the time.
  bool poll_ticks(DWORD within_ms) {
    DWORD start = GetTickCount();
    MSG msg;
    while (GetTickCount() - start < within_ms) {
      if (PeekMessageW(&msg, main, WM_TIMER, WM_TIMER, PM_REMOVE) && msg.wParam == SELECTION_POLL_TIMER) return true;
      Sleep(10);
    }
    return false;
  }
  HWND main = nullptr;
  std::wstring ini;
};

HBITMAP solid_bitmap(int width, int height) {
  HDC screen = GetDC(nullptr);
  HBITMAP b = CreateCompatibleBitmap(screen, width, height);
  ReleaseDC(nullptr, screen);
  return b;
}

}  // namespace

TEST_F(PreviewWindow, PreviewFontFollowsTheSettingsAndTheReplacedFontIsDeleted) {
  text16_copy(g_settings.note.face_name, FACE_NAME_UNITS, u"IPAPGothic");
  g_settings.note.font_height = -24;
  g_settings.note.font_weight = 700;
  g_settings.note.font_italic = 1;
  apply_preview_font(g_editor.edit);
  HFONT first = reinterpret_cast<HFONT>(SendMessageW(g_editor.edit, WM_GETFONT, 0, 0));
  ASSERT_NE(first, nullptr);
  LOGFONTW lf = {};
  ASSERT_TRUE(GetObjectW(first, sizeof lf, &lf));
  EXPECT_EQ(lf.lfHeight, -24);
  EXPECT_EQ(lf.lfWeight, 700);
  EXPECT_EQ(lf.lfItalic, 1);
  EXPECT_STREQ(lf.lfFaceName, L"IPAPGothic");

  g_settings.note.font_height = 40;
  apply_preview_font(g_editor.edit);
  HFONT second = reinterpret_cast<HFONT>(SendMessageW(g_editor.edit, WM_GETFONT, 0, 0));
  EXPECT_NE(second, first);
  EXPECT_EQ(GetObjectType(first), 0u) << "the font no longer in use was deleted";
  EXPECT_EQ(GetObjectType(second), static_cast<DWORD>(OBJ_FONT));
}

TEST_F(PreviewWindow, DisplayModeNeedsTheFlagAndAPictureAndRunsThePollOnlyThen) {
  g_settings.note.image_enabled = 1;
  apply_background_mode(main);  // flag without a picture: colour mode
  EXPECT_EQ(class_background(), g_editor.background_brush);
  EXPECT_FALSE(poll_ticks(200));

  g_editor.background = BackgroundBitmap{solid_bitmap(2, 2), 2, 2};
  apply_background_mode(main);
  EXPECT_EQ(class_background(), static_cast<HBRUSH>(GetStockObject(NULL_BRUSH)));
  EXPECT_TRUE(poll_ticks(1000)) << "the selection poll runs in image mode";
  HDC dc = GetDC(g_editor.edit);
  EXPECT_EQ(SendMessageW(main, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(g_editor.edit)),
            reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH)));
  EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
  ReleaseDC(g_editor.edit, dc);

  g_settings.note.image_enabled = 0;  // a picture still loaded does not keep image mode
  apply_background_mode(main);
  EXPECT_EQ(class_background(), g_editor.background_brush);
  MSG msg;
  while (PeekMessageW(&msg, main, WM_TIMER, WM_TIMER, PM_REMOVE)) {
  }
  EXPECT_FALSE(poll_ticks(200)) << "leaving image mode stops the poll";
  dc = GetDC(g_editor.edit);
  g_settings.note.background_color = RGB(1, 2, 3);
  g_settings.note.text_color = RGB(4, 5, 6);
  EXPECT_EQ(SendMessageW(main, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(g_editor.edit)),
            reinterpret_cast<LRESULT>(g_editor.background_brush));
  EXPECT_EQ(GetBkMode(dc), OPAQUE);
  EXPECT_EQ(GetBkColor(dc), RGB(1, 2, 3));
  EXPECT_EQ(GetTextColor(dc), RGB(4, 5, 6));
  ReleaseDC(g_editor.edit, dc);
}

TEST_F(PreviewWindow, NewBrushAndNewPictureReplaceTheOldOnesWhichAreDeleted) {
  HBRUSH old_brush = g_editor.background_brush;
  HBRUSH fresh = CreateSolidBrush(RGB(0, 128, 0));
  adopt_background_brush(main, fresh);
  EXPECT_EQ(g_editor.background_brush, fresh);
  EXPECT_EQ(class_background(), fresh);
  EXPECT_EQ(GetObjectType(old_brush), 0u);

  // A real picture file replaces the picture held before, which is deleted.
  std::wstring bmp = temp_path(L"tessark preview test.bmp");
  HANDLE file = CreateFileW(bmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  const BYTE picture[] = {'B', 'M', 58, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,  // file header
                          40, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0, 4, 0, 0, 0,
                          0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // info header
                          0, 0, 255, 0};                                    // one red pixel
  DWORD written = 0;
  WriteFile(file, picture, sizeof picture, &written, nullptr);
  CloseHandle(file);
  HBITMAP before = solid_bitmap(3, 3);
  g_editor.background = BackgroundBitmap{before, 3, 3};
  text16_copy(g_settings.note.image_path, PATH_UNITS, reinterpret_cast<const char16_t*>(bmp.c_str()));
  g_settings.note.image_enabled = 1;
  load_preview_background_image(main);
  EXPECT_NE(g_editor.background.bitmap, nullptr);
  EXPECT_NE(g_editor.background.bitmap, before);
  EXPECT_EQ(g_editor.background.width, 1);
  EXPECT_EQ(GetObjectType(before), 0u);
  EXPECT_TRUE(preview_in_image_mode());
  DeleteFileW(bmp.c_str());
}

TEST_F(PreviewWindow, MarginPlacesTheEditControlAndSavesEverySetting) {
  g_settings.note.margin = 35;
  apply_margin(main);
  RECT client, edit;
  GetClientRect(main, &client);
  GetWindowRect(g_editor.edit, &edit);
  MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&edit), 2);
  EXPECT_EQ(edit.left, 35);
  EXPECT_EQ(edit.top, 35);
  EXPECT_EQ(edit.right, client.right - 35);
  EXPECT_EQ(edit.bottom, client.bottom - 35);
  EXPECT_EQ(GetPrivateProfileIntW(L"WINDOW", L"MARGIN", -1, ini.c_str()), 35u);
  EXPECT_EQ(GetPrivateProfileIntW(L"ICON", L"ENABLED", -1, ini.c_str()), 0u);
}

TEST_F(PreviewWindow, ScaleChangeTakesTheSuggestedPlaceKeepsTheClientAreaAndSavesNothing) {
  // The editor's own window procedure from here on, as after its creation.
  LONG_PTR own = SetWindowLongPtrW(main, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(main_window_proc));
  g_editor.dpi = window_dpi(main);
  RECT before;
  GetClientRect(main, &before);
  DeleteFileW(ini.c_str());
  RECT suggested = {40, 50, 40 + 700, 50 + 500};
  SendMessageW(main, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
  RECT outer, client;
  GetWindowRect(main, &outer);
  GetClientRect(main, &client);
  EXPECT_EQ(outer.left, 40);
  EXPECT_EQ(outer.top, 50);
  // The window's DPI stayed what it was, so its stored client size is its size.
  EXPECT_EQ(client.right, before.right);
  EXPECT_EQ(client.bottom, before.bottom);
  EXPECT_EQ(GetFileAttributesW(ini.c_str()), INVALID_FILE_ATTRIBUTES) << "a scale change saves nothing";
  SetWindowPos(main, nullptr, 0, 0, 500, 400, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(GetPrivateProfileIntW(L"WINDOW", L"WIDTH", 0, ini.c_str()), 500u) << "a resize afterwards is saved";
  SetWindowLongPtrW(main, GWLP_WNDPROC, own);
}

// Windows 10 1607 and later; the headers name them for newer targets only.
extern "C" __declspec(dllimport) BOOL WINAPI AdjustWindowRectExForDpi(RECT*, DWORD, BOOL, DWORD, UINT);
extern "C" __declspec(dllimport) int WINAPI GetSystemMetricsForDpi(int, UINT);

// WM_GETDPISCALEDSIZE for a change to dpi, answered by the editor's procedure.
SIZE scaled_size_answer(HWND window, int dpi, SIZE pending) {
  SendMessageW(window, 0x02E4, static_cast<WPARAM>(dpi), reinterpret_cast<LPARAM>(&pending));
  return pending;
}

TEST_F(PreviewWindow, ScaledSizeIsThePendingSizesClientAreaAtTheNewScaleWithFrameAndMenuRows) {
  SetWindowLongPtrW(main, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(main_window_proc));
  g_editor.dpi = 96;
  HMENU bar = CreateMenu();
  for (const wchar_t* label : {L"ファイル(&F)", L"付箋(&U)", L"テンプレート(&T)", L"オプション(&O)", L"ヘルプ(&H)"})
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(CreatePopupMenu()), label);
  SetMenu(main, bar);
  DWORD style = static_cast<DWORD>(GetWindowLongW(main, GWL_STYLE));
  const struct {
    SIZE current, pending;
    bool wraps;  // the menu bar takes more than one row at the pending width
  } cases[] = {{{400, 300}, {400, 300}, false}, {{400, 300}, {520, 410}, false},
               {{400, 300}, {150, 300}, true},  {{150, 300}, {480, 330}, false}};
  for (int dpi : {120, 144, 192}) {
    for (const auto& c : cases) {
      // A window of the pending size at 96 DPI: its client area and menu rows.
      SetWindowPos(main, nullptr, 0, 0, c.pending.cx, c.pending.cy, SWP_NOMOVE | SWP_NOZORDER);
      RECT client, frame96 = {0, 0, 0, 0}, frame = {0, 0, 0, 0};
      GetClientRect(main, &client);
      AdjustWindowRectExForDpi(&frame96, style, TRUE, 0, 96);
      AdjustWindowRectExForDpi(&frame, style, TRUE, 0, static_cast<UINT>(dpi));
      int extra = c.pending.cy - client.bottom - (frame96.bottom - frame96.top);
      ASSERT_EQ(extra > 0, c.wraps) << c.pending.cx << " wide";
      ASSERT_EQ(extra % GetSystemMetricsForDpi(SM_CYMENUSIZE, 96), 0) << "a wrapped menu bar grows by rows";
      int rows = extra / GetSystemMetricsForDpi(SM_CYMENUSIZE, 96);
      SetWindowPos(main, nullptr, 0, 0, c.current.cx, c.current.cy, SWP_NOMOVE | SWP_NOZORDER);
      SIZE answer = scaled_size_answer(main, dpi, c.pending);
      EXPECT_EQ(answer.cx, MulDiv(client.right, dpi, 96) + frame.right - frame.left) << c.pending.cx << " at " << dpi;
      EXPECT_EQ(answer.cy, MulDiv(client.bottom, dpi, 96) + frame.bottom - frame.top +
                               rows * GetSystemMetricsForDpi(SM_CYMENUSIZE, static_cast<UINT>(dpi)))
          << c.current.cx << " to " << c.pending.cx << " wide at " << dpi;
    }
  }
}

TEST_F(PreviewWindow, ScaleChangesWhileMinimizedKeepTheRestoreSizeAndChangeNoSetting) {
  SetWindowLongPtrW(main, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(main_window_proc));
  g_editor.dpi = 96;
  ShowWindow(main, SW_SHOWNORMAL);
  SetWindowPos(main, nullptr, 0, 0, 410, 310, SWP_NOMOVE | SWP_NOZORDER);  // saved, as a user's resize
  auto settings = [this] {
    std::string bytes(4096, 0);
    DWORD n = 0;
    HANDLE f = CreateFileW(ini.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    return ReadFile(f, &bytes[0], 4096, &n, nullptr) && CloseHandle(f) ? bytes.substr(0, n) : std::string();
  };
  std::string before = settings();
  ASSERT_EQ(GetPrivateProfileIntW(L"WINDOW", L"HEIGHT", 0, ini.c_str()), 310u);
  SIZE shown = scaled_size_answer(main, 144, SIZE{410, 310});
  auto restore_size = [this] {
    WINDOWPLACEMENT p = {sizeof p, 0, 0, {0, 0}, {0, 0}, {0, 0, 0, 0}};
    GetWindowPlacement(main, &p);
    return SIZE{p.rcNormalPosition.right - p.rcNormalPosition.left, p.rcNormalPosition.bottom - p.rcNormalPosition.top};
  };
  ShowWindow(main, SW_MINIMIZE);
  // Windows passes the restore size, or the minimized one; either answers as the shown window.
  for (SIZE pending : {restore_size(), SIZE{160, 24}}) {
    EXPECT_EQ(scaled_size_answer(main, 144, pending).cx, shown.cx);
    EXPECT_EQ(scaled_size_answer(main, 144, pending).cy, shown.cy);
  }
  RECT suggested = {-32000, -32000, -32000 + shown.cx, -32000 + shown.cy};
  SendMessageW(main, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
  EXPECT_EQ(restore_size().cx, shown.cx) << "restored at 144 DPI, the window keeps its stored size";
  EXPECT_EQ(restore_size().cy, shown.cy);
  // Back to 96 DPI, as Wine restores at the screen's DPI whatever was sent.
  SIZE back = scaled_size_answer(main, 96, restore_size());
  EXPECT_EQ(back.cx, 410);
  EXPECT_EQ(back.cy, 310);
  SendMessageW(main, WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&suggested));
  ShowWindow(main, SW_RESTORE);
  EXPECT_EQ(settings(), before) << "restored at 410 x 310, as the settings file says";
}

TEST(StyleMenuWin, LabelsComeFromTheSavedNamesAndKeepTheSubMenus) {
  set_default_editor_settings(&g_settings);
  std::wstring ini = temp_path(L"tessark style menu test.ini");
  DeleteFileW(ini.c_str());
  text16_copy(g_settings.settings_path, PATH_UNITS, reinterpret_cast<const char16_t*>(ini.c_str()));
  WritePrivateProfileStringW(L"STYLE_3", L"STYLE_NAME", L"Blue", ini.c_str());
  WritePrivateProfileStringW(L"STYLE_9", L"STYLE_NAME", L"", ini.c_str());

  // A menu bar shaped as the editor's: the styles are the third menu.
  HMENU bar = CreateMenu();
  for (int i = 0; i < 2; ++i) AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(CreatePopupMenu()), L"x");
  HMENU styles = CreatePopupMenu();
  for (int n = 1; n <= 9; ++n) {
    HMENU slot = CreatePopupMenu();
    AppendMenuW(slot, MF_STRING, 1011 + n, L"load");
    AppendMenuW(slot, MF_STRING, 1020 + n, L"save");
    AppendMenuW(styles, MF_POPUP, reinterpret_cast<UINT_PTR>(slot), L"old");
  }
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(styles), L"templates");

  update_style_menu(bar);
  wchar_t text[1100];
  GetMenuStringW(styles, 2, text, 1100, MF_BYPOSITION);
  EXPECT_STREQ(text, L"スタイル３ - Blue(&3)");
  GetMenuStringW(styles, 8, text, 1100, MF_BYPOSITION);
  EXPECT_STREQ(text, L"スタイル９(&9)") << "an empty name gives the plain label";
  GetMenuStringW(styles, 0, text, 1100, MF_BYPOSITION);
  EXPECT_STREQ(text, L"スタイル１(&1)");
  for (int n = 1; n <= 9; ++n) {
    HMENU slot = GetSubMenu(styles, n - 1);
    ASSERT_NE(slot, nullptr) << "slot " << n << " keeps its sub-menu";
    EXPECT_EQ(GetMenuItemID(slot, 0), static_cast<UINT>(1011 + n));
    EXPECT_EQ(GetMenuItemID(slot, 1), static_cast<UINT>(1020 + n));
  }
  DestroyMenu(bar);
  DeleteFileW(ini.c_str());
}
