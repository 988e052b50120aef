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

// The file at path as a DIB section (LoadImageW with LR_LOADFROMFILE and
// LR_CREATEDIBSECTION). Null for an empty path, a missing file, one that is
// not a bitmap the platform reads, or one shorter than its headers say. The
// caller owns the bitmap.
HBITMAP load_bitmap_file(const wchar_t* path);

// Makes the background bitmap from a loaded one, taking ownership of loaded
// (null gives no image). When transparent (0x00RRGGBB) differs from the
// background (COLORREF) in pixel order, every pixel of the transparent colour
// is set to the background colour in a screen-compatible copy and loaded is
// deleted; otherwise loaded itself is the result. The pixel buffer comes
// from heap (null: the process heap) and is freed before returning; one that
// cannot be sized, allocated or filled makes it no image (loaded deleted).
BackgroundBitmap prepare_background_bitmap(HBITMAP loaded, COLORREF background, uint32_t transparent,
                                           HANDLE heap = nullptr);

// load_bitmap_file followed by prepare_background_bitmap. Returns a bitmap
// the caller owns, or one with a null handle when the file cannot be read as
// a bitmap or its pixel buffer cannot be allocated. Reports nothing.
BackgroundBitmap load_background_image(const wchar_t* path, COLORREF background, uint32_t transparent);

// Stretches image over window's whole client area; the window's WM_PAINT.
void paint_background_image(HWND window, const BackgroundBitmap& image);
