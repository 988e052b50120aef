// Entry point and command registry of the end-to-end driver.
#include "driver.h"
#include <cstdio>
#include "common/display_scale_win.h"
#include <cwchar>
#include <vector>

namespace {
struct Entry {
  const wchar_t* name;
  DriverCommandFn fn;
  const wchar_t* usage;
};
std::vector<Entry>& registry() {
  static std::vector<Entry> entries;
  return entries;
}
}  // namespace

DriverCommandRegistrar::DriverCommandRegistrar(const wchar_t* name, DriverCommandFn fn,
                                               const wchar_t* usage) {
  registry().push_back({name, fn, usage});
}

HWND parse_hwnd(const wchar_t* text) {
  return reinterpret_cast<HWND>(static_cast<uintptr_t>(wcstoul(text, nullptr, 0)));
}

void print_utf8(const std::wstring& text) {
  int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), (int)text.size(), nullptr, 0, nullptr, nullptr);
  std::string out(n, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), (int)text.size(), &out[0], n, nullptr, nullptr);
  fwrite(out.data(), 1, out.size(), stdout);
  fflush(stdout);
}

std::wstring unescape_arg(const wchar_t* text) {
  std::wstring out;
  for (const wchar_t* p = text; *p; ++p) {
    if (*p != L'\\' || !p[1]) {
      out += *p;
      continue;
    }
    ++p;
    switch (*p) {
      case L'n': out += L'\n'; break;
      case L'r': out += L'\r'; break;
      case L't': out += L'\t'; break;
      case L'u': {
        wchar_t hex[5] = {0};
        for (int i = 0; i < 4 && p[1]; ++i) hex[i] = *++p;
        out += static_cast<wchar_t>(wcstoul(hex, nullptr, 16));
        break;
      }
      default: out += *p;
    }
  }
  return out;
}

namespace {
struct FindRequest {
  const wchar_t* cls;
  const wchar_t* part;
  DWORD pid;
  HWND found;
};

BOOL CALLBACK match_window(HWND hwnd, LPARAM lp) {
  FindRequest* req = reinterpret_cast<FindRequest*>(lp);
  if (req->pid) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != req->pid) return TRUE;
  }
  wchar_t cls[256], title[1024];
  GetClassNameW(hwnd, cls, 256);
  GetWindowTextW(hwnd, title, 1024);
  if (req->cls && *req->cls && wcscmp(cls, req->cls) != 0) return TRUE;
  if (req->part && *req->part && !wcsstr(title, req->part)) return TRUE;
  req->found = hwnd;
  return FALSE;
}
}  // namespace

HWND wait_top_window(const wchar_t* cls, const wchar_t* part, DWORD pid, DWORD timeout_ms) {
  DWORD start = GetTickCount();
  for (;;) {
    FindRequest req = {cls, part, pid, nullptr};
    EnumWindows(match_window, reinterpret_cast<LPARAM>(&req));
    if (req.found) return req.found;
    if (GetTickCount() - start >= timeout_ms) return nullptr;
    Sleep(50);
  }
}

int wmain(int argc, wchar_t** argv) {
  // Rectangles, cursor and sizes in the screen's own pixels at every scale,
  // as the programs it drives see them (an unaware caller gets them scaled).
  enable_display_scaling();
  if (argc >= 2) {
    for (const Entry& e : registry())
      if (wcscmp(e.name, argv[1]) == 0) return e.fn(argc - 2, argv + 2);
  }
  for (const Entry& e : registry()) {
    print_utf8(std::wstring(e.name) + L" " + e.usage + L"\n");
  }
  return 2;
}
