// Background images through the real GDI: loading .bmp files written here,
// replacing the transparent colour, failing quietly, and stretching on paint.
#include <gtest/gtest.h>
#include <windows.h>
#include <cstdint>
#include <string>
#include <vector>
#include "common/background_image.h"
#include "common/background_image_win.h"
#include "test_files.h"

namespace {

const uint32_t WHITE = 0x00FFFFFF, GREEN = 0x0000FF00, G254 = 0x0000FE00, BLACK = 0, RED_PX = 0x00FF0000,
               BLUE_PX = 0x000000FF;

std::wstring temp_file(const wchar_t* name) {
  return scratch_folder(L"background") + L"\\" + name;
}

bool write_file(const std::wstring& path, const std::vector<uint8_t>& bytes) {
  HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(f);
  return ok && written == bytes.size();
}

void put32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
  for (int i = 0; i < 4; ++i) v[at + i] = static_cast<uint8_t>(x >> (8 * i));
}

// A 24-bit bottom-up .bmp of width x height pixels given top row first as 0x00RRGGBB.
std::wstring write_bmp(const wchar_t* name, int width, int height, const std::vector<uint32_t>& top_down) {
  int row = (width * 3 + 3) & ~3;
  std::vector<uint8_t> f(54 + row * height, 0);
  f[0] = 'B';
  f[1] = 'M';
  put32(f, 2, static_cast<uint32_t>(f.size()));
  put32(f, 10, 54);
  put32(f, 14, 40);
  put32(f, 18, width);
  put32(f, 22, height);
  f[26] = 1;
  f[28] = 24;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint32_t p = top_down[y * width + x];
      uint8_t* at = &f[54 + (height - 1 - y) * row + 3 * x];
      at[0] = static_cast<uint8_t>(p), at[1] = static_cast<uint8_t>(p >> 8), at[2] = static_cast<uint8_t>(p >> 16);
    }
  std::wstring path = temp_file(name);
  EXPECT_TRUE(write_file(path, f));
  return path;
}

// The bitmap's pixels, top row first, as 0x00RRGGBB.
std::vector<uint32_t> read_pixels(HBITMAP bitmap, int width, int height) {
  BITMAPINFO bi = {};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  std::vector<uint32_t> px(width * height);
  HDC dc = GetDC(nullptr);
  EXPECT_EQ(GetDIBits(dc, bitmap, 0, height, px.data(), &bi, DIB_RGB_COLORS), height);
  ReleaseDC(nullptr, dc);
  for (uint32_t& p : px) p &= 0x00FFFFFF;
  return px;
}

bool is_dib_section(HBITMAP bitmap) {
  DIBSECTION ds;
  return GetObjectW(bitmap, sizeof ds, &ds) == sizeof ds;
}

}  // namespace

TEST(BackgroundImageWin, TransparentGreenBecomesTheWhiteBackground) {
  std::wstring path = write_bmp(L"green.bmp", 2, 2, {GREEN, G254, BLACK, RED_PX});
  BackgroundBitmap image = load_background_image(path.c_str(), RGB(255, 255, 255), GREEN);
  ASSERT_NE(image.bitmap, nullptr);
  EXPECT_EQ(image.width, 2);
  EXPECT_EQ(image.height, 2);
  EXPECT_EQ(read_pixels(image.bitmap, 2, 2), (std::vector<uint32_t>{WHITE, G254, BLACK, RED_PX}));
  // The converted copy is a screen-compatible bitmap, not the loaded section.
  EXPECT_FALSE(is_dib_section(image.bitmap));
  DeleteObject(image.bitmap);
  DeleteFileW(path.c_str());
}

TEST(BackgroundImageWin, DefaultBlackShowsTheBackgroundColour) {
  std::wstring path = write_bmp(L"black.bmp", 3, 1, {BLACK, WHITE, BLACK});
  BackgroundBitmap image = load_background_image(path.c_str(), RGB(0, 0, 255), 0);
  ASSERT_NE(image.bitmap, nullptr);
  EXPECT_EQ(read_pixels(image.bitmap, 3, 1), (std::vector<uint32_t>{BLUE_PX, WHITE, BLUE_PX}));
  DeleteObject(image.bitmap);
  DeleteFileW(path.c_str());
}

TEST(BackgroundImageWin, EqualColoursUseTheLoadedBitmapUnchanged) {
  std::wstring path = write_bmp(L"red.bmp", 2, 1, {RED_PX, GREEN});
  // Pure red as background (COLORREF 255) and as transparent colour (16711680).
  BackgroundBitmap image = load_background_image(path.c_str(), 255, 16711680);
  ASSERT_NE(image.bitmap, nullptr);
  EXPECT_TRUE(is_dib_section(image.bitmap));
  EXPECT_EQ(read_pixels(image.bitmap, 2, 1), (std::vector<uint32_t>{RED_PX, GREEN}));
  // Black background with the default transparent colour: also as loaded.
  BackgroundBitmap black = load_background_image(path.c_str(), 0, 0);
  ASSERT_NE(black.bitmap, nullptr);
  EXPECT_TRUE(is_dib_section(black.bitmap));
  DeleteObject(image.bitmap);
  DeleteObject(black.bitmap);
  DeleteFileW(path.c_str());
}

TEST(BackgroundImageWin, UnreadableFilesGiveNoImage) {
  EXPECT_EQ(load_background_image(L"", RGB(1, 2, 3), 0).bitmap, nullptr);
  std::wstring missing = temp_file(L"missing.bmp");
  BackgroundBitmap none = load_background_image(missing.c_str(), RGB(1, 2, 3), 0);
  EXPECT_EQ(none.bitmap, nullptr);
  EXPECT_EQ(none.width, 0);
  std::wstring text = temp_file(L"text.bmp");
  ASSERT_TRUE(write_file(text, std::vector<uint8_t>(200, 'x')));
  EXPECT_EQ(load_background_image(text.c_str(), RGB(1, 2, 3), 0).bitmap, nullptr);
  DeleteFileW(text.c_str());
}

TEST(BackgroundImageWin, PixelBufferThatCannotBeAllocatedIsAFailedLoad) {
  std::vector<uint32_t> px(300 * 200, GREEN);
  std::wstring path = write_bmp(L"big.bmp", 300, 200, px);
  // A fixed heap of 64 KiB cannot hold the 240000-byte pixel buffer.
  HANDLE small = HeapCreate(0, 0x10000, 0x10000);
  ASSERT_NE(small, nullptr);
  HBITMAP loaded = load_bitmap_file(path.c_str());
  ASSERT_NE(loaded, nullptr);
  BackgroundBitmap image = prepare_background_bitmap(loaded, RGB(255, 255, 255), GREEN, small);
  EXPECT_EQ(image.bitmap, nullptr);
  // The loaded bitmap was deleted rather than leaked or returned unconverted.
  BITMAP info;
  EXPECT_EQ(GetObjectW(loaded, sizeof info, &info), 0);
  // The same image loads from the process heap.
  image = load_background_image(path.c_str(), RGB(255, 255, 255), GREEN);
  ASSERT_NE(image.bitmap, nullptr);
  EXPECT_EQ(read_pixels(image.bitmap, 300, 200)[0], WHITE);
  DeleteObject(image.bitmap);
  HeapDestroy(small);
  DeleteFileW(path.c_str());
}

namespace {

BackgroundBitmap painted;

LRESULT CALLBACK paint_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_PAINT) {
    paint_background_image(hwnd, painted);
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

uint32_t window_pixel(HWND hwnd, int x, int y) {
  HDC dc = GetDC(hwnd);
  COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(hwnd, dc);
  return to_pixel_order(c);
}

}  // namespace

TEST(BackgroundImageWin, PaintStretchesTheWholeImageOverTheClientArea) {
  std::wstring path = write_bmp(L"quad.bmp", 2, 2, {RED_PX, GREEN, BLUE_PX, WHITE});
  painted = load_background_image(path.c_str(), RGB(0, 0, 0), 0x00123456);
  ASSERT_NE(painted.bitmap, nullptr);
  WNDCLASSW wc = {};
  wc.lpfnWndProc = paint_proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"TESSARK_TEST_PAINT";
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  ASSERT_TRUE(RegisterClassW(&wc));
  HWND hwnd = CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 100, 100, 300, 200,
                              nullptr, nullptr, wc.hInstance, nullptr);
  ASSERT_NE(hwnd, nullptr);
  UpdateWindow(hwnd);
  EXPECT_EQ(window_pixel(hwnd, 10, 10), RED_PX);
  EXPECT_EQ(window_pixel(hwnd, 290, 10), GREEN);
  EXPECT_EQ(window_pixel(hwnd, 10, 190), BLUE_PX);
  EXPECT_EQ(window_pixel(hwnd, 290, 190), WHITE);
  // A new size restretches the image at the next paint: 600 x 100.
  SetWindowPos(hwnd, nullptr, 0, 0, 600, 100, SWP_NOMOVE | SWP_NOZORDER);
  RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_EQ(window_pixel(hwnd, 290, 40), RED_PX);
  EXPECT_EQ(window_pixel(hwnd, 310, 40), GREEN);
  EXPECT_EQ(window_pixel(hwnd, 590, 90), WHITE);
  DestroyWindow(hwnd);
  UnregisterClassW(wc.lpszClassName, wc.hInstance);
  DeleteObject(painted.bitmap);
  DeleteFileW(path.c_str());
}
