// Loading and painting the background image of a note or of the editor's
// preview: a .bmp stretched over the client area, with one colour (the
// transparent colour) replaced by the background colour once at load time.
#pragma once
#include <windows.h>
#include <cstdint>

// A prepared background bitmap and the source size of the file it came from.
struct BackgroundBitmap {
  HBITMAP bitmap;  // null: no image
  int width;
  int height;
};

// Loads path as a bitmap and replaces the pixels of transparent (0x00RRGGBB)
// with background (COLORREF). Returns a bitmap the caller owns, or one with a
// null handle when the file cannot be read as a bitmap or its pixel buffer
// cannot be allocated. Reports nothing.
BackgroundBitmap load_background_image(const wchar_t* path, COLORREF background, uint32_t transparent);

// Stretches image over window's whole client area; the window's WM_PAINT.
void paint_background_image(HWND window, const BackgroundBitmap& image);
