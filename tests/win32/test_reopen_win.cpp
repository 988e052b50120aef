// Reopening and writing notes from a window that stands in for the editor:
// notes written from the note template and read back through the real
// string loader, files that are no notes, outputs whose template is missing
// or broken, and the editor state that every failure must leave as it was.
#include <gtest/gtest.h>
#include <string>
#include "common/note_settings_table.h"
#include "common/text16.h"
#include <shlobj.h>
#include "editor/builder/note_reopen_win.h"
#include "editor/builder/note_writer_win.h"
#include "editor/editor_state_win.h"
#include "editor/settings_store_win.h"
#include "test_icon_template_support.h"

namespace {

const wchar_t* W(const char16_t* s) { return reinterpret_cast<const wchar_t*>(s); }

// A window standing in for the editor's main window: class background,
// a menu with the two correction items greyed, the edit control as child 1.
class EditorWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    // A global class: the window may belong to a module mapped as data.
    static ATOM atom = [] {
      WNDCLASSW wc = {};
      wc.style = CS_GLOBALCLASS;
      wc.lpfnWndProc = DefWindowProcW;
      wc.hInstance = GetModuleHandleW(nullptr);
      wc.lpszClassName = L"TESSARK_TEST_MAIN";
      return RegisterClassW(&wc);
    }();
    ASSERT_NE(atom, 0);
    set_default_editor_settings(&g_settings);
    ini_ = scratch_folder(L"reopen") + L"\\user Tessark.ini";
    DeleteFileW(ini_.c_str());
    lstrcpynW(reinterpret_cast<wchar_t*>(g_settings.settings_path), ini_.c_str(), PATH_UNITS);
    make_window(GetModuleHandleW(nullptr));
  }

  // The editor-like window, its instance being the module that carries the
  // editor's resources (or not).
  void make_window(HINSTANCE instance) {
    if (main_) DestroyWindow(main_);
    g_editor = EditorState{};
    HMENU bar = CreateMenu(), file = CreatePopupMenu();
    AppendMenuW(file, MF_STRING | MF_GRAYED, 1010, L"訂正を反映する");
    AppendMenuW(file, MF_STRING | MF_GRAYED, 1033, L"訂正を反映して終了");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"ファイル");
    main_ = CreateWindowExW(0, L"TESSARK_TEST_MAIN", L"Tessark", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                            50, 50, 400, 300, nullptr, bar, instance, nullptr);
    edit_ = CreateWindowExW(0, L"EDIT", L"before", WS_CHILD | WS_VISIBLE | ES_MULTILINE, 10, 10,
                            300, 200, main_, reinterpret_cast<HMENU>(1), nullptr, nullptr);
    g_editor.main_window = main_;
    g_editor.edit = edit_;
    g_editor.menu = bar;
    g_editor.background_brush = CreateSolidBrush(g_settings.note.background_color);
    SetClassLongPtrW(main_, GCLP_HBRBACKGROUND,
                     reinterpret_cast<LONG_PTR>(g_editor.background_brush));
  }

  void TearDown() override {
    DestroyWindow(main_);
    DeleteFileW(ini_.c_str());
  }

  // Reopens path, answering the boxes it shows.
  std::vector<MessageWatcher::Seen> reopen(const std::wstring& path) {
    MessageWatcher watcher;
    reopen_note(main_, path.c_str());
    return watcher.finish();
  }

  // Runs an output (quit flag as given), answering the boxes it shows.
  std::vector<MessageWatcher::Seen> output(bool quit) {
    MessageWatcher watcher;
    output_note(main_, quit);
    return watcher.finish();
  }

  // True when WM_CLOSE waits for the window (and takes it off the queue).
  bool close_posted() {
    MSG msg;
    return PeekMessageW(&msg, main_, WM_CLOSE, WM_CLOSE, PM_REMOVE) != 0;
  }

  std::wstring text(HWND w) {
    wchar_t buf[2048];
    GetWindowTextW(w, buf, 2048);
    return buf;
  }

  bool correction_enabled() {
    return !(GetMenuState(g_editor.menu, 1010, MF_BYCOMMAND) & MF_GRAYED) &&
           !(GetMenuState(g_editor.menu, 1033, MF_BYCOMMAND) & MF_GRAYED);
  }

  void expect_unchanged_after(const std::wstring& path) {
    EditorSettings before = g_settings;
    RECT client_before;
    GetClientRect(main_, &client_before);
    auto boxes = reopen(path);
    ASSERT_EQ(boxes.size(), 1u) << "one message";
    EXPECT_EQ(boxes[0].caption, L"エラー");
    EXPECT_EQ(boxes[0].text, L"ファイルを開くのに失敗しました\n\n" + path);
    EXPECT_EQ(memcmp(&before, &g_settings, sizeof before), 0) << "settings changed";
    EXPECT_EQ(text(main_), L"Tessark");
    EXPECT_EQ(text(edit_), L"before");
    EXPECT_EQ(g_editor.current_note_path[0], 0);
    EXPECT_FALSE(correction_enabled());
    RECT client;
    GetClientRect(main_, &client);
    EXPECT_EQ(client.right, client_before.right);
    EXPECT_EQ(GetFileAttributesW(ini_.c_str()), INVALID_FILE_ATTRIBUTES) << "nothing saved";
  }

  HWND main_ = nullptr, edit_ = nullptr;
  std::wstring ini_;
};

std::wstring on_desktop(const std::wstring& name) {
  wchar_t desktop[MAX_PATH] = L"";
  SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, desktop);
  return std::wstring(desktop) + L"\\" + name;
}

bool exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Files that an output built in and left behind on the desktop.
int temp_files_on_desktop() {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(on_desktop(L"~tessark-*.tmp").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return 0;
  int n = 1;
  while (FindNextFileW(search, &found)) ++n;
  FindClose(search);
  return n;
}

// A resource of a file mapped as image resources, or empty.
std::vector<uint8_t> resource_of(const std::wstring& path, LPCWSTR type, int id) {
  std::vector<uint8_t> bytes;
  HMODULE module = LoadLibraryExW(path.c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  HRSRC found = module ? FindResourceW(module, MAKEINTRESOURCEW(id), type) : nullptr;
  if (found) {
    const uint8_t* data = static_cast<const uint8_t*>(LockResource(LoadResource(module, found)));
    bytes.assign(data, data + SizeofResource(module, found));
  }
  if (module) FreeLibrary(module);
  return bytes;
}


// What the shell tells Explorer about the desktop folder: each event with
// the path it names first, for as long as the object lives.
class ShellEvents {
 public:
  ShellEvents() {
    window_ = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(record));
    LPITEMIDLIST desktop = nullptr;
    SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOPDIRECTORY, &desktop);
    SHChangeNotifyEntry entry = {desktop, TRUE};
    id_ = SHChangeNotifyRegister(window_, SHCNRF_ShellLevel | SHCNRF_InterruptLevel, SHCNE_ALLEVENTS,
                                 EVENT_MESSAGE, 1, &entry);
    CoTaskMemFree(desktop);
    seen().clear();
  }
  ~ShellEvents() {
    SHChangeNotifyDeregister(id_);
    DestroyWindow(window_);
  }
  // The events seen so far, as "event path".
  std::vector<std::wstring> take() {
    MSG msg;
    for (int i = 0; i < 20; ++i, Sleep(10))
      while (PeekMessageW(&msg, window_, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    std::vector<std::wstring> events;
    events.swap(seen());
    return events;
  }

 private:
  static const UINT EVENT_MESSAGE = WM_APP + 7;
  static std::vector<std::wstring>& seen() {
    static std::vector<std::wstring> events;
    return events;
  }
  static LRESULT CALLBACK record(HWND w, UINT message, WPARAM wp, LPARAM lp) {
    if (message != EVENT_MESSAGE) return DefWindowProcW(w, message, wp, lp);
    wchar_t path[MAX_PATH] = L"";
    LPITEMIDLIST* items = reinterpret_cast<LPITEMIDLIST*>(wp);
    if (items && items[0]) SHGetPathFromIDListW(items[0], path);
    seen().push_back(std::to_wstring(lp & ~SHCNE_INTERRUPT) + L" " + path);
    return 0;
  }
  HWND window_;
  ULONG id_;
};

#ifdef TESSARK_NOTE_TEMPLATE
// A copy of the note template whose table is replaced by s and the client size.
std::wstring write_note(const std::wstring& name, const NoteSettings& s, int width, int height) {
  std::wstring path = scratch_folder(L"notes") + L"\\" + name;
  if (!CopyFileW(TESSARK_NOTE_TEMPLATE, path.c_str(), FALSE)) return L"";
  uint8_t table[NOTE_SETTINGS_TABLE_BYTES];
  size_t bytes = encode_note_settings(s, width, height, table);
  HANDLE update = BeginUpdateResourceW(path.c_str(), FALSE);
  UpdateResourceW(update, RT_STRING, MAKEINTRESOURCEW(1), 0, table, static_cast<DWORD>(bytes));
  return EndUpdateResourceW(update, FALSE) ? path : L"";
}
#endif

}  // namespace

TEST_F(EditorWindow, FilesThatAreNoNotesChangeNothing) {
  // A program without a string table: this test program.
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  expect_unchanged_after(self);
  // A text file.
  std::wstring txt = scratch_folder(L"reopen") + L"\\memo.txt";
  write_bytes(txt, {'B', 'u', 'y', ' ', 'm', 'i', 'l', 'k', '\r', '\n'});
  expect_unchanged_after(txt);
  // A text file named like a note, a missing file and the empty path.
  std::wstring fake = scratch_folder(L"reopen") + L"\\Buy milk.exe";
  write_bytes(fake, std::vector<uint8_t>(4096, 'M'));
  expect_unchanged_after(fake);
  expect_unchanged_after(L"C:\\no such folder\\note.exe");
  expect_unchanged_after(L"");
}

#ifdef TESSARK_NOTE_TEMPLATE
TEST_F(EditorWindow, ANoteBecomesTheEditorsNote) {
  NoteSettings s;
  set_default_note_settings(&s);
  s.margin = 12;
  s.background_color = RGB(255, 255, 0);
  s.text_color = RGB(0, 0, 255);
  s.font_height = -21;
  s.font_weight = 700;
  s.font_italic = 1;
  text16_copy(s.face_name, FACE_NAME_UNITS, u"IPAGothic");
  s.auto_close_seconds = 42;
  s.transparent_color = 0x00FF0000;
  s.icon_enabled = 1;
  text16_copy(s.icon_path, PATH_UNITS, u"C:\\icons\\a.ico");
  std::wstring path = write_note(L"Buy milk,.and eggs.exe", s, 333, 177);
  ASSERT_FALSE(path.empty());
  auto boxes = reopen(path);
  EXPECT_TRUE(boxes.empty());
  const NoteSettings& n = g_settings.note;
  EXPECT_EQ(n.margin, 12);
  EXPECT_EQ(n.background_color, RGB(255, 255, 0));
  EXPECT_EQ(n.text_color, RGB(0, 0, 255));
  EXPECT_EQ(n.font_height, -21);
  EXPECT_EQ(n.font_weight, 700);
  EXPECT_EQ(n.font_italic, 1);
  EXPECT_STREQ(W(n.face_name), L"IPAGothic");
  EXPECT_EQ(n.auto_close_seconds, 42);
  EXPECT_EQ(n.transparent_color, 0x00FF0000u);
  EXPECT_EQ(n.image_enabled, 0);
  EXPECT_EQ(n.icon_enabled, 1);
  EXPECT_STREQ(W(n.icon_path), L"C:\\icons\\a.ico");
  RECT client;
  GetClientRect(main_, &client);
  EXPECT_EQ(client.right, 333);
  EXPECT_EQ(client.bottom, 177);
  EXPECT_EQ(text(main_), L"Tessark - Buy milk,.and eggs.exe");
  EXPECT_EQ(text(edit_), L"Buy milk\r\nand eggs");
  EXPECT_EQ(std::wstring(g_editor.current_note_path), path);
  EXPECT_TRUE(correction_enabled());
  // The class background is the new colour's brush, and the look was saved.
  LOGBRUSH lb;
  GetObjectW(reinterpret_cast<HBRUSH>(GetClassLongPtrW(main_, GCLP_HBRBACKGROUND)), sizeof lb, &lb);
  EXPECT_EQ(lb.lbColor, RGB(255, 255, 0));
  wchar_t face[64];
  GetPrivateProfileStringW(L"FONT", L"FACE_NAME", L"", face, 64, ini_.c_str());
  EXPECT_STREQ(face, L"IPAGothic");
  EXPECT_EQ(GetPrivateProfileIntW(L"WINDOW", L"MARGIN", -1, ini_.c_str()), 12);
}

TEST_F(EditorWindow, TheTemplatesOwnTableAndALongFaceName) {
  // The plain note template reopens with its own defaults.
  std::wstring plain = scratch_folder(L"notes") + L"\\plain.exe";
  ASSERT_TRUE(CopyFileW(TESSARK_NOTE_TEMPLATE, plain.c_str(), FALSE));
  EXPECT_TRUE(reopen(plain).empty());
  EXPECT_EQ(g_settings.note.background_color, 0u);
  EXPECT_EQ(g_settings.note.text_color, 255u);
  EXPECT_EQ(g_settings.note.auto_close_seconds, 10);
  EXPECT_STREQ(W(g_settings.note.face_name), L"ＭＳ ゴシック");
  RECT client;
  GetClientRect(main_, &client);
  EXPECT_EQ(client.right, 300);
  EXPECT_EQ(client.bottom, 200);
  EXPECT_EQ(text(edit_), L"plain");

  // A table written by something other than the editor, with a 40-unit face.
  std::wstring path = scratch_folder(L"notes") + L"\\longface.exe";
  ASSERT_TRUE(CopyFileW(TESSARK_NOTE_TEMPLATE, path.c_str(), FALSE));
  std::vector<std::u16string> entries = {u"5", u"210", u"110", u"0", u"0", u"20", u"0", u"400",
                                         u"0", std::u16string(40, u'F'), u"0", u"", u"0", u""};
  std::vector<uint8_t> block;
  for (auto& e : entries) {
    block.push_back(static_cast<uint8_t>(e.size()));
    block.push_back(0);
    for (char16_t c : e) block.push_back(static_cast<uint8_t>(c)), block.push_back(c >> 8);
  }
  HANDLE update = BeginUpdateResourceW(path.c_str(), FALSE);
  UpdateResourceW(update, RT_STRING, MAKEINTRESOURCEW(1), 0, block.data(),
                  static_cast<DWORD>(block.size()));
  ASSERT_TRUE(EndUpdateResourceW(update, FALSE));
  EXPECT_TRUE(reopen(path).empty());
  EXPECT_EQ(std::wstring(W(g_settings.note.face_name)), std::wstring(31, L'F'));
  GetClientRect(main_, &client);
  EXPECT_EQ(client.right, 210);
}
#endif

TEST_F(EditorWindow, OutputWithoutANoteTemplateWritesNothing) {
  make_window(editor_like_module(L"no_template.exe", nullptr));
  SetWindowTextW(edit_, L"builder output test");
  DeleteFileW(on_desktop(L"builder output test.exe").c_str());
  auto boxes = output(true);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, L"エラー");
  EXPECT_EQ(boxes[0].text, L"付箋テンプレートの読み込みに失敗しました");
  EXPECT_FALSE(exists(on_desktop(L"builder output test.exe")));
  EXPECT_FALSE(close_posted()) << "a failure must not close the editor";
  EXPECT_EQ(text(main_), L"Tessark");
  EXPECT_EQ(g_editor.current_note_path[0], 0);
  EXPECT_FALSE(correction_enabled());
}

TEST_F(EditorWindow, AFailedResourceUpdateLeavesTheDestinationAndTheState) {
  // A template that is no program: its copy is written, the update refused.
  std::vector<uint8_t> junk(4096, 'M');
  make_window(editor_like_module(L"junk_template.exe", &junk));
  SetWindowTextW(edit_, L"builder output test");
  std::wstring note = on_desktop(L"builder output test.exe");
  DeleteFileW(note.c_str());
  auto boxes = output(true);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, L"リソースの更新処理に失敗しました");
  EXPECT_FALSE(exists(note)) << "no half-made note where there was none";
  EXPECT_FALSE(close_posted());
  EXPECT_EQ(text(main_), L"Tessark");
  EXPECT_FALSE(correction_enabled());
  // A note already at that path stays as it was, byte for byte.
  const std::vector<uint8_t> earlier = {'a', 'n', ' ', 'e', 'a', 'r', 'l', 'i', 'e', 'r', ' ', 'n', 'o', 't', 'e'};
  write_bytes(note, earlier);
  EXPECT_EQ(output(false).size(), 1u);
  EXPECT_EQ(read_bytes(note), earlier);
  EXPECT_EQ(temp_files_on_desktop(), 0);
  // A correction before any success does nothing at all.
  MessageWatcher watcher;
  reflect_corrections(main_, true);
  EXPECT_TRUE(watcher.finish().empty());
  EXPECT_FALSE(close_posted());
  DeleteFileW(note.c_str());
}

#ifdef TESSARK_NOTE_TEMPLATE
TEST_F(EditorWindow, OutputWritesTheSettingsAndACorrectionMovesTheNote) {
  std::vector<uint8_t> note_template = read_bytes(TESSARK_NOTE_TEMPLATE);
  make_window(editor_like_module(L"with_template.exe", &note_template));
  NoteSettings& n = g_settings.note;
  n.margin = 12;
  n.background_color = RGB(255, 255, 0);
  n.text_color = RGB(0, 0, 255);
  n.image_enabled = 0;  // the path is kept but not written
  text16_copy(n.image_path, PATH_UNITS, u"C:\\pictures\\back.bmp");
  SetWindowTextW(edit_, L"builder output test");
  std::wstring note = on_desktop(L"builder output test.exe");
  DeleteFileW(note.c_str());
  ShellEvents shell;
  EXPECT_TRUE(output(true).empty());
  EXPECT_TRUE(close_posted()) << "the quit flag closes the editor after a success";
  // Explorer is told at once, so the desktop shows the note in its colour.
  auto event = [](LONG id, const std::wstring& path) { return std::to_wstring(id) + L" " + path; };
  EXPECT_EQ(shell.take(), std::vector<std::wstring>{event(SHCNE_CREATE, note)});

  // The table holds exactly the settings and the client size.
  RECT client;
  GetClientRect(main_, &client);
  uint8_t expected[NOTE_SETTINGS_TABLE_BYTES];
  size_t bytes = encode_note_settings(n, client.right, client.bottom, expected);
  std::vector<uint8_t> table = resource_of(note, RT_STRING, 1);
  ASSERT_EQ(table.size(), bytes);
  EXPECT_EQ(memcmp(table.data(), expected, bytes), 0);
  std::vector<uint8_t> group = resource_of(note, RT_GROUP_ICON, 2);
  std::vector<uint8_t> image = resource_of(note, RT_ICON, 2);
  ASSERT_EQ(group.size(), 20u);
  ASSERT_EQ(image.size(), size_t(DEFAULT_NOTE_ICON_BYTES));
  const uint8_t palette[8] = {0, 255, 255, 0, 128, 255, 255, 0};
  EXPECT_EQ(memcmp(image.data() + 40, palette, 8), 0);
  EXPECT_EQ(text(main_), L"Tessark - builder output test.exe");
  EXPECT_EQ(std::wstring(g_editor.current_note_path), note);
  EXPECT_TRUE(correction_enabled());

  // A correction: the note moves to the new text's name and is rewritten.
  SetWindowTextW(edit_, L"builder output test, corrected");
  n.margin = 3;
  MessageWatcher watcher;
  reflect_corrections(main_, false);
  EXPECT_TRUE(watcher.finish().empty());
  EXPECT_FALSE(close_posted());
  std::wstring moved = on_desktop(L"builder output test,, corrected.exe");
  EXPECT_EQ(shell.take(), (std::vector<std::wstring>{event(SHCNE_RENAMEITEM, note),
                                                      event(SHCNE_UPDATEITEM, moved)}));
  EXPECT_FALSE(exists(note));
  ASSERT_TRUE(exists(moved));
  char16_t margin[8];
  table = resource_of(moved, RT_STRING, 1);
  read_note_setting(table.data(), table.size(), NS_MARGIN, margin, 8);
  EXPECT_EQ(std::u16string(margin), u"3");
  EXPECT_EQ(text(main_), L"Tessark - builder output test,, corrected.exe");
  DeleteFileW(moved.c_str());
}
#endif

#ifdef TESSARK_NOTE_TEMPLATE
// What a user expects when another program holds the note: the note is never
// lost or half rewritten, whichever step is refused.
class HeldNote : public EditorWindow {
 protected:
  void SetUp() override {
    EditorWindow::SetUp();
    note_template_ = read_bytes(TESSARK_NOTE_TEMPLATE);
    make_window(editor_like_module(unique(L"held_template"), &note_template_));
    g_settings.note.auto_close_seconds = 0;  // a started note stays
    SetWindowTextW(edit_, L"held note");
    note_ = on_desktop(L"held note.exe");
    DeleteFileW(note_.c_str());
    ASSERT_TRUE(output(false).empty());
    bytes_ = read_bytes(note_);
    g_settings.note.margin = 33;  // what a correction would change
  }

  void TearDown() override {
    if (running_.hProcess) {
      TerminateProcess(running_.hProcess, 0);
      WaitForSingleObject(running_.hProcess, 10000);
      CloseHandle(running_.hProcess);
      CloseHandle(running_.hThread);
    }
    DeleteFileW(note_.c_str());
    EditorWindow::TearDown();
  }

  // A module name of its own: a mapped module's file cannot be written again.
  static std::wstring unique(const wchar_t* name) {
    static int n = 0;
    return name + std::to_wstring(++n) + L".exe";
  }

  bool start_note() {
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    std::wstring command = L"\"" + note_ + L"\"";
    if (!CreateProcessW(note_.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &si, &running_))
      return false;
    return WaitForInputIdle(running_.hProcess, 20000) == 0;
  }

  // The command gives exactly one message, and the note, the desktop and the
  // editor are as they were.
  void expect_one_message_and_nothing_changed(void (*command)(HWND, bool), const wchar_t* message) {
    std::wstring title = text(main_), current = g_editor.current_note_path;
    MessageWatcher watcher;
    command(main_, true);
    auto boxes = watcher.finish();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, L"エラー");
    EXPECT_EQ(boxes[0].text, message);
    EXPECT_EQ(read_bytes(note_), bytes_) << "the note changed";
    EXPECT_EQ(temp_files_on_desktop(), 0);
    EXPECT_FALSE(close_posted());
    EXPECT_EQ(text(main_), title);
    EXPECT_EQ(std::wstring(g_editor.current_note_path), current);
  }

  std::vector<uint8_t> note_template_, bytes_;
  std::wstring note_;
  PROCESS_INFORMATION running_ = {};
};

const wchar_t CREATE_FAILED[] = L"ファイルの作成に失敗しました";
const wchar_t NOTE_RUNNING[] =
    L"付箋が実行中のため訂正できません。付箋を閉じてから、もう一度実行してください";

TEST_F(HeldNote, ARunningNoteIsNeitherReplacedNorRenamed) {
  ASSERT_TRUE(start_note());
  expect_one_message_and_nothing_changed(output_note, CREATE_FAILED);
  expect_one_message_and_nothing_changed(reflect_corrections, NOTE_RUNNING);
  SetWindowTextW(edit_, L"held note, renamed");
  expect_one_message_and_nothing_changed(reflect_corrections, NOTE_RUNNING);
  EXPECT_FALSE(exists(on_desktop(L"held note,, renamed.exe")));
}

TEST_F(HeldNote, ANoteHeldOpenByAScannerStaysWhole) {
  // Held as a virus scanner holds a fresh file: the note can be renamed but
  // not replaced until the scanner lets go.
  HANDLE scanner = CreateFileW(note_.c_str(), GENERIC_READ,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(scanner, INVALID_HANDLE_VALUE);
  expect_one_message_and_nothing_changed(output_note, CREATE_FAILED);
  SetWindowTextW(edit_, L"held note, renamed");
  expect_one_message_and_nothing_changed(reflect_corrections, CREATE_FAILED);
  EXPECT_FALSE(exists(on_desktop(L"held note,, renamed.exe")));
  CloseHandle(scanner);
  // Once it has let go, the same correction goes through.
  MessageWatcher watcher;
  reflect_corrections(main_, false);
  EXPECT_TRUE(watcher.finish().empty());
  EXPECT_FALSE(exists(note_));
  std::vector<uint8_t> table = resource_of(on_desktop(L"held note,, renamed.exe"), RT_STRING, 1);
  DeleteFileW(on_desktop(L"held note,, renamed.exe").c_str());
  char16_t margin[8] = u"";
  read_note_setting(table.data(), table.size(), NS_MARGIN, margin, 8);
  EXPECT_EQ(std::u16string(margin), u"33");
}

TEST_F(HeldNote, AFailedCorrectionMovesTheNoteBack) {
  // The rename succeeds, then the output fails: its template is no program.
  std::vector<uint8_t> junk(4096, 'M');
  std::wstring current = g_editor.current_note_path;
  make_window(editor_like_module(unique(L"held_junk"), &junk));
  lstrcpynW(g_editor.current_note_path, current.c_str(), NOTE_PATH_UNITS);
  SetWindowTextW(main_, L"Tessark - held note.exe");
  SetWindowTextW(edit_, L"held note, renamed");
  expect_one_message_and_nothing_changed(reflect_corrections, L"リソースの更新処理に失敗しました");
  EXPECT_FALSE(exists(on_desktop(L"held note,, renamed.exe")));
}

TEST_F(HeldNote, DeviceNamesAreRefusedBeforeAnythingIsOpened) {
  for (const wchar_t* name : {L"NUL", L"com1", L"Aux.txt"}) {
    SetWindowTextW(edit_, name);
    expect_one_message_and_nothing_changed(output_note, CREATE_FAILED);
    expect_one_message_and_nothing_changed(reflect_corrections, CREATE_FAILED);
  }
}
#endif
