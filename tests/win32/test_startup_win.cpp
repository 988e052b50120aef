// Both programs started as Windows starts them: a copy of the editor in a
// folder of its own, seen through its window, its menu bar and the settings
// file it leaves; then a note written there, seen through its windows and
// closed by a key.
#include <gtest/gtest.h>
#include <cwchar>
#include <string>
#include <vector>
#include "editor/builder/note_writer_win.h"
#include "test_icon_template_support.h"

#if defined(TESSARK_EDITOR_EXE) && defined(TESSARK_MENU_HOOK)
namespace {

const DWORD WAIT_MS = 30000;

// A program this test started; one still running when the test ends, on a
// failure, is ended through the test's own handle.
struct Started {
  PROCESS_INFORMATION pi = {};
  ~Started() {
    if (!pi.hProcess) return;
    if (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) {
      TerminateProcess(pi.hProcess, 1);
      WaitForSingleObject(pi.hProcess, WAIT_MS);
    }
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
  }
};

bool start(const std::wstring& exe, const std::wstring& folder, Started* p) {
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  std::wstring command = L"\"" + exe + L"\"";
  return CreateProcessW(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si,
                        &p->pi) != FALSE;
}

struct Wanted {
  DWORD pid;
  const wchar_t* window_class;
  HWND found;
};

BOOL CALLBACK match_window(HWND w, LPARAM wanted_param) {
  Wanted* wanted = reinterpret_cast<Wanted*>(wanted_param);
  DWORD pid = 0;
  wchar_t name[64] = L"";
  GetWindowThreadProcessId(w, &pid);
  GetClassNameW(w, name, 64);
  // Shown only once its creation is done: its title, menu and children are there.
  if (pid != wanted->pid || lstrcmpW(name, wanted->window_class) != 0 || !IsWindowVisible(w)) return TRUE;
  wanted->found = w;
  return FALSE;
}

// The shown top-level window of that class and process, polled for; null
// when none shows within the limit.
HWND wait_for_window(const Started& p, const wchar_t* window_class) {
  Wanted wanted = {p.pi.dwProcessId, window_class, nullptr};
  for (DWORD begun = GetTickCount(); !wanted.found && GetTickCount() - begun < WAIT_MS; Sleep(50))
    EnumWindows(match_window, reinterpret_cast<LPARAM>(&wanted));
  return wanted.found;
}

// Another process's menu cannot be read under Wine (error 1456): the hook
// of the end-to-end driver reads the window's menu bar inside the editor
// and leaves it in shared memory, one "depth<TAB>id<TAB>flags<TAB>text" line
// per item. The texts of the bar itself, in order.
std::vector<std::wstring> menu_bar_texts(HWND window) {
  const wchar_t DUMP_NAME[] = L"TessarkDriverMenuDump";
  const DWORD DUMP_BYTES = 1 << 20;
  std::vector<std::wstring> texts;
  HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, DUMP_BYTES, DUMP_NAME);
  wchar_t* dump = mapping ? static_cast<wchar_t*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0)) : nullptr;
  HMODULE dll = LoadLibraryW(TESSARK_MENU_HOOK);
  HOOKPROC proc = dll ? reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(dll, "menu_hook_proc")))
                      : nullptr;
  DWORD thread = GetWindowThreadProcessId(window, nullptr);
  HHOOK hook = dump && proc ? SetWindowsHookExW(WH_CALLWNDPROC, proc, dll, thread) : nullptr;
  if (hook) {
    dump[0] = 0;
    DWORD_PTR ignored;
    SendMessageTimeoutW(window, RegisterWindowMessageW(DUMP_NAME), 0, 0, SMTO_ABORTIFHUNG, WAIT_MS, &ignored);
    UnhookWindowsHookEx(hook);
    for (const wchar_t* line = dump; *line;) {
      const wchar_t* end = wcschr(line, L'\n');
      std::wstring item(line, end ? end : line + wcslen(line));
      if (item.compare(0, 2, L"0\t") == 0) texts.push_back(item.substr(item.rfind(L'\t') + 1));
      line = end ? end + 1 : line + item.size();
    }
  }
  if (dll) FreeLibrary(dll);
  if (dump) UnmapViewOfFile(dump);
  if (mapping) CloseHandle(mapping);
  return texts;
}

// The exit code once the process has ended within the limit, else -1.
long exit_code_after_end(const Started& p) {
  DWORD code = 0;
  if (WaitForSingleObject(p.pi.hProcess, WAIT_MS) != WAIT_OBJECT_0 || !GetExitCodeProcess(p.pi.hProcess, &code))
    return -1;
  return static_cast<long>(code);
}

}  // namespace

TEST(Startup, TheEditorOpensWithItsMenusAndLeavesUnicodeSettings) {
  std::wstring folder = scratch_folder(L"startup");
  std::wstring exe = folder + L"\\Tessark.exe";
  ASSERT_TRUE(CopyFileW(TESSARK_EDITOR_EXE, exe.c_str(), FALSE)) << GetLastError();
  Started editor;
  ASSERT_TRUE(start(exe, folder, &editor)) << GetLastError();
  HWND window = wait_for_window(editor, L"TESSARK_MAIN");
  ASSERT_NE(window, nullptr) << "no TESSARK_MAIN window of the started editor";
  wchar_t title[64] = L"";
  GetWindowTextW(window, title, 64);
  EXPECT_STREQ(title, L"Tessark");
  std::vector<std::wstring> expected = {L"ファイル(&F)", L"付箋(&U)", L"テンプレート(&T)", L"オプション(&O)",
                                        L"ヘルプ(&H)"};
  EXPECT_EQ(menu_bar_texts(window), expected);
  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(exit_code_after_end(editor), 0);
  wchar_t user[256];
  DWORD units = 256;
  ASSERT_TRUE(GetUserNameW(user, &units));
  std::vector<uint8_t> settings = read_bytes(folder + L"\\" + user + L" Tessark.ini");
  ASSERT_GE(settings.size(), 2u) << "no settings file beside the editor's copy";
  EXPECT_EQ(settings[0], 0xFF);
  EXPECT_EQ(settings[1], 0xFE);
}

TEST(Startup, AWrittenNoteShowsItsTextAtItsSizeAndAKeyClosesIt) {
  std::wstring folder = scratch_folder(L"startup");
  NoteSettings look;
  set_default_note_settings(&look);
  look.auto_close_seconds = 0;  // only the key may close it
  // The writer takes the note template and the default icon from the editor.
  HMODULE editor =
      LoadLibraryExW(TESSARK_EDITOR_EXE, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_NE(editor, nullptr) << GetLastError();
  const wchar_t* text = L"起動の確認\r\nTessark";
  NoteOutput in = {};
  in.resources = editor;
  in.text = text;
  in.look = &look;
  in.client_width = 260;
  in.client_height = 140;
  in.folder = folder.c_str();
  NoteWriteResult written = {};
  write_note_file(in, &written);
  FreeLibrary(editor);
  ASSERT_EQ(written.failure, NOTE_WRITE_OK);

  Started note;
  ASSERT_TRUE(start(written.note_path, folder, &note)) << GetLastError();
  HWND input = wait_for_window(note, L"VEMTO_SRC_MAIN");
  HWND container = wait_for_window(note, L"CONTAINER");
  ASSERT_NE(input, nullptr) << "no input window of the started note";
  ASSERT_NE(container, nullptr) << "no container window of the started note";
  // The container follows the input window once that has its size.
  RECT client = {};
  for (DWORD begun = GetTickCount(); GetTickCount() - begun < WAIT_MS; Sleep(50))
    if (GetClientRect(container, &client) && client.right == in.client_width && client.bottom == in.client_height)
      break;
  EXPECT_EQ(client.right, in.client_width);
  EXPECT_EQ(client.bottom, in.client_height);
  // What the user reads: the edit control inside the container.
  HWND edit = FindWindowExW(container, nullptr, L"EDIT", nullptr);
  ASSERT_NE(edit, nullptr);
  wchar_t shown[64] = L"";
  DWORD_PTR units = 0;
  SendMessageTimeoutW(edit, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(shown), SMTO_ABORTIFHUNG, WAIT_MS, &units);
  EXPECT_STREQ(shown, text);
  EXPECT_EQ(WaitForSingleObject(note.pi.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "closed before the key";
  PostMessageW(input, WM_KEYDOWN, 'A', 1);
  EXPECT_EQ(exit_code_after_end(note), 0);
}
#endif
