// Background image preparation and painting through GDI: load the file,
// replace the transparent colour in a 32-bit copy, stretch it at paint time.
#include "common/background_image_win.h"
#include "common/background_image.h"

namespace {

const BackgroundBitmap NO_IMAGE = {nullptr, 0, 0};

// The bottom-up 32-bit header GetDIBits and CreateDIBitmap share.
void fill_dib32_header(BITMAPINFOHEADER* h, LONG width, LONG height) {
  ZeroMemory(h, sizeof *h);
  h->biSize = sizeof *h;
  h->biWidth = width;
  h->biHeight = height;
  h->biPlanes = 1;
  h->biBitCount = 32;
  h->biCompression = BI_RGB;
}

// A screen-compatible copy of loaded with transparent replaced by key, or null.
HBITMAP convert_pixels(HBITMAP loaded, LONG width, LONG height, uint32_t transparent, uint32_t key,
                       HANDLE heap) {
  size_t bytes;
  if (!dib32_image_bytes(width, height, &bytes)) return nullptr;
  void* pixels = HeapAlloc(heap, 0, bytes);
  if (!pixels) return nullptr;
  BITMAPINFOHEADER header;
  fill_dib32_header(&header, width, height);
  HDC screen = GetDC(nullptr);
  HBITMAP result = nullptr;
  // Without every line read the buffer would hold garbage, not the image.
  if (GetDIBits(screen, loaded, 0, height, pixels, reinterpret_cast<BITMAPINFO*>(&header),
                DIB_RGB_COLORS) == height) {
    replace_transparent_pixels(static_cast<uint32_t*>(pixels), bytes / 4, transparent, key);
    result = CreateDIBitmap(screen, &header, CBM_INIT, pixels, reinterpret_cast<BITMAPINFO*>(&header),
                            DIB_RGB_COLORS);
  }
  ReleaseDC(nullptr, screen);
  HeapFree(heap, 0, pixels);
  return result;
}

// Whether the file holds every byte its headers promise; the loader would
// read past the end of a file that is cut short. The check shares the file
// in every way, so that a picture an image editor or a sync client holds
// open still loads.
bool bitmap_file_whole(const wchar_t* path) {
  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  uint8_t head[BITMAP_FILE_HEAD_BYTES];
  DWORD got = 0;
  LARGE_INTEGER size;
  bool whole = ReadFile(file, head, sizeof head, &got, nullptr) && GetFileSizeEx(file, &size) &&
               bitmap_file_is_complete(head, got, static_cast<uint64_t>(size.QuadPart));
  CloseHandle(file);
  return whole;
}

}  // namespace

HBITMAP load_bitmap_file(const wchar_t* path) {
  if (!path || !path[0] || !bitmap_file_whole(path)) return nullptr;
  return static_cast<HBITMAP>(
      LoadImageW(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
}

BackgroundBitmap prepare_background_bitmap(HBITMAP loaded, COLORREF background, uint32_t transparent,
                                           HANDLE heap) {
  if (!loaded) return NO_IMAGE;
  uint32_t key = to_pixel_order(background);
  BITMAP info;
  if (!GetObjectW(loaded, sizeof info, &info)) {
    DeleteObject(loaded);
    return NO_IMAGE;
  }
  BackgroundBitmap image = {loaded, info.bmWidth, info.bmHeight};
  // Transparent pixels already show the background colour.
  if (transparent == key) return image;
  image.bitmap = convert_pixels(loaded, info.bmWidth, info.bmHeight, transparent, key,
                                heap ? heap : GetProcessHeap());
  DeleteObject(loaded);
  return image.bitmap ? image : NO_IMAGE;
}

BackgroundBitmap load_background_image(const wchar_t* path, COLORREF background, uint32_t transparent) {
  return prepare_background_bitmap(load_bitmap_file(path), background, transparent);
}

void paint_background_image(HWND window, const BackgroundBitmap& image) {
  RECT client;
  GetClientRect(window, &client);
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  HDC memory = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(memory, image.bitmap);
  SetStretchBltMode(dc, COLORONCOLOR);
  StretchBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, image.width, image.height, SRCCOPY);
  SelectObject(memory, old);
  DeleteDC(memory);
  EndPaint(window, &ps);
}
