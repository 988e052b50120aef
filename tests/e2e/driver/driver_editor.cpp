// Driver commands that move, size and show top-level windows as a user does
// with the frame and the caption buttons.
#include "driver.h"
#include <cwchar>

// Sets the outer size of the window, keeping its position.
DRIVER_COMMAND(setsize, L"HWND WIDTH HEIGHT") {
  if (argc < 3) return 2;
  return SetWindowPos(parse_hwnd(argv[0]), nullptr, 0, 0, wcstol(argv[1], nullptr, 10), wcstol(argv[2], nullptr, 10),
                      SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE)
             ? 0
             : 1;
}

// Moves the window's top-left corner to X Y on the screen, keeping its size.
DRIVER_COMMAND(move, L"HWND X Y") {
  if (argc < 3) return 2;
  return SetWindowPos(parse_hwnd(argv[0]), nullptr, wcstol(argv[1], nullptr, 10), wcstol(argv[2], nullptr, 10), 0, 0,
                      SWP_NOSIZE | SWP_NOZORDER)
             ? 0
             : 1;
}

// ShowWindow with min (minimise), restore or max.
DRIVER_COMMAND(show, L"HWND min|restore|max") {
  if (argc < 2) return 2;
  int how = wcscmp(argv[1], L"min") == 0 ? SW_MINIMIZE : wcscmp(argv[1], L"max") == 0 ? SW_MAXIMIZE : SW_RESTORE;
  ShowWindow(parse_hwnd(argv[0]), how);
  return 0;
}

// Prints "x y" of the window's client origin on the screen.
DRIVER_COMMAND(origin, L"HWND") {
  if (argc < 1) return 2;
  POINT p = {0, 0};
  if (!ClientToScreen(parse_hwnd(argv[0]), &p)) return 1;
  wchar_t out[64];
  swprintf(out, 64, L"%ld %ld\n", p.x, p.y);
  print_utf8(out);
  return 0;
}

// Invalidates the whole window with its children and frame, so that it
// paints again.
DRIVER_COMMAND(redraw, L"HWND") {
  if (argc < 1) return 2;
  return RedrawWindow(parse_hwnd(argv[0]), nullptr, nullptr,
                      RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN)
             ? 0
             : 1;
}
