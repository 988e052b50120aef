// Driver commands that time the note builder from inside one Wine process,
// so that no process start of the driver itself is counted: an output of
// the editor against a plain copy of the note template, and a note's start
// until its window shows.
#include "driver.h"
#include <algorithm>
#include <cwchar>
#include <string>
#include <vector>

namespace {

double now_ms() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  size_t n = v.size();
  return n == 0 ? 0 : n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

void print_runs(const wchar_t* label, const std::vector<double>& runs) {
  std::wstring line = label;
  wchar_t number[32];
  for (double r : runs) {
    swprintf(number, 32, L" %.2f", r);
    line += number;
  }
  swprintf(number, 32, L" median %.2f\n", median(runs));
  print_utf8(line + L"\n" + label + number);
}

struct Shown {
  DWORD pid;
  const wchar_t* cls;
  bool found;
};

BOOL CALLBACK find_shown(HWND hwnd, LPARAM param) {
  Shown* s = reinterpret_cast<Shown*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  wchar_t cls[64];
  GetClassNameW(hwnd, cls, 64);
  if (pid == s->pid && IsWindowVisible(hwnd) && wcscmp(cls, s->cls) == 0) {
    s->found = true;
    return FALSE;
  }
  return TRUE;
}

// Milliseconds from CreateProcessW to a visible window of class cls in the
// new process, or -1; the process is ended afterwards.
double time_start(const std::wstring& path, const wchar_t* cls) {
  std::wstring line = L"\"" + path + L"\"";
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  double t0 = now_ms();
  if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    return -1;
  Shown shown = {pi.dwProcessId, cls, false};
  double elapsed = -1;
  while (now_ms() - t0 < 30000) {
    EnumWindows(find_shown, reinterpret_cast<LPARAM>(&shown));
    if (shown.found) {
      elapsed = now_ms() - t0;
      break;
    }
    Sleep(1);
  }
  TerminateProcess(pi.hProcess, 0);
  WaitForSingleObject(pi.hProcess, 10000);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return elapsed;
}

}  // namespace

// Times RUNS outputs of the editor (command 1000 sent to HWND; the send
// returns when the note file is finished) alternately with RUNS plain copies
// of TEMPLATE to the desktop (%USERPROFILE%\Desktop), and prints every run,
// both medians and their ratio. The editor must hold a text whose note can
// be written silently.
DRIVER_COMMAND(outputtime, L"HWND TEMPLATE RUNS") {
  if (argc < 3) return 2;
  HWND editor = parse_hwnd(argv[0]);
  int runs = static_cast<int>(wcstol(argv[2], nullptr, 10));
  wchar_t profile[MAX_PATH];
  if (!GetEnvironmentVariableW(L"USERPROFILE", profile, MAX_PATH)) return 1;
  std::wstring copy = std::wstring(profile) + L"\\Desktop\\template copy.exe";
  std::vector<double> outputs, copies;
  SendMessageW(editor, WM_COMMAND, 1000, 0);  // warm the caches once
  CopyFileW(argv[1], copy.c_str(), FALSE);
  for (int i = 0; i < runs; ++i) {
    double t0 = now_ms();
    if (!CopyFileW(argv[1], copy.c_str(), FALSE)) return 1;
    copies.push_back(now_ms() - t0);
    t0 = now_ms();
    DWORD_PTR ignored;
    if (!SendMessageTimeoutW(editor, WM_COMMAND, 1000, 0, SMTO_NORMAL, 30000, &ignored)) return 1;
    outputs.push_back(now_ms() - t0);
  }
  DeleteFileW(copy.c_str());
  print_runs(L"copy", copies);
  print_runs(L"output", outputs);
  wchar_t ratio[64];
  swprintf(ratio, 64, L"ratio %.1f\n", median(outputs) / median(copies));
  print_utf8(ratio);
  return 0;
}

// Starts each program RUNS times, taking turns so that no program gains from
// running later than another, and prints per program the milliseconds from
// each start until a window of CLASS in it is visible, and their median.
DRIVER_COMMAND(starttime, L"CLASS RUNS PATH...") {
  if (argc < 3) return 2;
  int runs = static_cast<int>(wcstol(argv[1], nullptr, 10));
  int programs = argc - 2;
  std::vector<std::vector<double>> times(programs);
  for (int p = 0; p < programs; ++p) time_start(argv[2 + p], argv[0]);  // warm the caches once
  for (int i = 0; i < runs; ++i) {
    for (int p = 0; p < programs; ++p) {
      double t = time_start(argv[2 + p], argv[0]);
      if (t < 0) return 1;
      times[p].push_back(t);
    }
  }
  for (int p = 0; p < programs; ++p) {
    const wchar_t* name = wcsrchr(argv[2 + p], L'\\');
    print_runs(name ? name + 1 : argv[2 + p], times[p]);
  }
  return 0;
}
