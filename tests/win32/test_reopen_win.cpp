// The note builder on its own, against the real API and without a window:
// notes written from the note template into scratch folders and read back
// through the real string loader, files that are no notes, and every way
// another program can hold a note while it is written or corrected.
#include <gtest/gtest.h>
#include <shlobj.h>
#include <algorithm>
#include <string>
#include "common/note_settings_table.h"
#include "common/text16.h"
#include "editor/builder/note_reopen_win.h"
#include "editor/builder/note_writer_win.h"
#include "test_icon_template_support.h"

namespace {

const wchar_t* W(const char16_t* s) { return reinterpret_cast<const wchar_t*>(s); }

bool exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Every name in folder, whatever it is: nothing may be left behind.
std::vector<std::wstring> files_in(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if (lstrcmpW(found.cFileName, L".") && lstrcmpW(found.cFileName, L"..")) names.push_back(found.cFileName);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return names;
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

std::u16string margin_of(const std::wstring& note) {
  std::vector<uint8_t> table = resource_of(note, RT_STRING, 1);
  char16_t margin[8] = u"";
  read_note_setting(table.data(), table.size(), NS_MARGIN, margin, 8);
  return margin;
}

struct ShellEvent {
  LONG id;
  std::wstring path;  // the first item the event names
};

// What the shell tells Explorer about a folder, with the paths as the shell
// names them, for as long as the object lives. Shell-level events only (what
// programs send with SHChangeNotify), not the file system's own: an
// SHCNE_UPDATEDIR of the folder then stands for the writer's events.
class ShellEvents {
 public:
  explicit ShellEvents(const std::wstring& folder) {
    window_ = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(record));
    LPITEMIDLIST items = ILCreateFromPathW(folder.c_str());
    SHChangeNotifyEntry entry = {items, TRUE};
    id_ = SHChangeNotifyRegister(window_, SHCNRF_ShellLevel | SHCNRF_NewDelivery, SHCNE_ALLEVENTS,
                                 EVENT_MESSAGE, 1, &entry);
    ILFree(items);
    seen().clear();
  }
  ~ShellEvents() {
    SHChangeNotifyDeregister(id_);
    DestroyWindow(window_);
  }
  // Whether every event of expected is told within a few seconds, in that
  // order among others; what was seen is then forgotten. The shell may
  // combine item events of one folder into one SHCNE_UPDATEDIR of it.
  ::testing::AssertionResult told_in_order(const std::vector<ShellEvent>& expected) {
    DWORD start = GetTickCount();
    bool told = false;
    do {
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
      told = in_order(expected);
    } while (!told && GetTickCount() - start < 5000 &&
             MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT) != WAIT_FAILED);
    std::wstring list = L"expected:";
    for (const ShellEvent& e : expected) list += L"\n  " + std::to_wstring(e.id) + L" " + e.path;
    list += L"\ntold:";
    for (const ShellEvent& e : seen()) list += L"\n  " + std::to_wstring(e.id) + L" " + e.path;
    seen().clear();
    if (told) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << list;
  }

 private:
  static const UINT EVENT_MESSAGE = WM_APP + 7;
  static std::vector<ShellEvent>& seen() {
    static std::vector<ShellEvent> events;
    return events;
  }
  static bool stands_for(const ShellEvent& told, const ShellEvent& e) {
    if (told.id == e.id && told.path == e.path) return true;
    bool item = e.id == SHCNE_CREATE || e.id == SHCNE_UPDATEITEM || e.id == SHCNE_RENAMEITEM;
    return item && told.id == SHCNE_UPDATEDIR && told.path == e.path.substr(0, e.path.find_last_of(L'\\'));
  }
  static bool in_order(const std::vector<ShellEvent>& expected) {
    auto at = seen().begin();
    for (const ShellEvent& e : expected) {
      while (at != seen().end() && !stands_for(*at, e)) ++at;
      if (at == seen().end()) return false;
      if (at->id == e.id) ++at;  // a combined event may stand for the next ones too
    }
    return true;
  }
  static LRESULT CALLBACK record(HWND w, UINT message, WPARAM wp, LPARAM lp) {
    if (message != EVENT_MESSAGE) return DefWindowProcW(w, message, wp, lp);
    PIDLIST_ABSOLUTE* items = nullptr;
    LONG id = 0;
    HANDLE lock = SHChangeNotification_Lock(reinterpret_cast<HANDLE>(wp), static_cast<DWORD>(lp), &items, &id);
    if (!lock) return 0;
    wchar_t path[MAX_PATH] = L"";
    if (items && items[0]) SHGetPathFromIDListW(items[0], path);
    seen().push_back({static_cast<LONG>(id & ~SHCNE_INTERRUPT), path});
    SHChangeNotification_Unlock(lock);
    return 0;
  }
  HWND window_;
  ULONG id_;
};

// A file opened by another program for ms milliseconds (as a scanner holds
// a file it reads), then closed by a thread of its own.
class HeldFor {
 public:
  HeldFor(const std::wstring& path, DWORD share, DWORD ms) : ms_(ms) {
    file_ = CreateFileW(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr);
    thread_ = CreateThread(nullptr, 0, release, this, 0, nullptr);
  }
  ~HeldFor() {
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
  }
  bool held() const { return file_ != INVALID_HANDLE_VALUE; }

 private:
  static DWORD WINAPI release(void* self_param) {
    HeldFor* self = static_cast<HeldFor*>(self_param);
    Sleep(self->ms_);
    if (self->held()) CloseHandle(self->file_);
    return 0;
  }
  DWORD ms_;
  HANDLE file_, thread_;
};

// Writes notes into a scratch folder of its own, as the editor writes them
// to the desktop: from a module that carries the note template (or not).
class NoteWriter : public ::testing::Test {
 protected:
  void SetUp() override {
    set_default_note_settings(&look_);
    folder_ = scratch_folder(L"notes-" + std::to_wstring(++fixtures_));
    for (const std::wstring& name : files_in(folder_)) DeleteFileW((folder_ + L"\\" + name).c_str());
  }

  // A module name of its own: a mapped module's file cannot be written again.
  HINSTANCE module_with(const std::vector<uint8_t>* note_template) {
    static int n = 0;
    return editor_like_module(L"writer" + std::to_wstring(++n) + L".exe", note_template);
  }

  NoteOutput request(HINSTANCE resources, const wchar_t* text, const wchar_t* correcting = nullptr) {
    NoteOutput in = {};
    in.resources = resources;
    in.text = text;
    in.look = &look_;
    in.client_width = 300;
    in.client_height = 200;
    in.folder = folder_.c_str();
    in.correcting = correcting;
    return in;
  }

  std::wstring in_folder(const std::wstring& name) { return folder_ + L"\\" + name; }

  static int fixtures_;
  NoteSettings look_;
  std::wstring folder_;
  NoteWriteResult result_;
};
int NoteWriter::fixtures_ = 0;

#ifdef TESSARK_NOTE_TEMPLATE
// A copy of the note template whose table is replaced by s and the client size.
std::wstring note_with_table(const std::wstring& name, const NoteSettings& s, int width, int height) {
  std::wstring path = scratch_folder(L"reopen") + L"\\" + name;
  if (!CopyFileW(TESSARK_NOTE_TEMPLATE, path.c_str(), FALSE)) return L"";
  uint8_t table[NOTE_SETTINGS_TABLE_BYTES];
  size_t bytes = encode_note_settings(s, width, height, table);
  HANDLE update = BeginUpdateResourceW(path.c_str(), FALSE);
  UpdateResourceW(update, RT_STRING, MAKEINTRESOURCEW(1), 0, table, static_cast<DWORD>(bytes));
  return EndUpdateResourceW(update, FALSE) ? path : L"";
}
#endif

}  // namespace

TEST(ReadNoteFile, FilesThatAreNoNotesAreNotRead) {
  static ReopenedNoteFile file;
  // A program without a string table: this test program.
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  EXPECT_FALSE(read_note_file(self, &file));
  std::wstring folder = scratch_folder(L"reopen");
  write_bytes(folder + L"\\memo.txt", {'B', 'u', 'y', ' ', 'm', 'i', 'l', 'k', '\r', '\n'});
  EXPECT_FALSE(read_note_file((folder + L"\\memo.txt").c_str(), &file));
  // A text file named like a note, a missing file and the empty path.
  write_bytes(folder + L"\\Buy milk.exe", std::vector<uint8_t>(4096, 'M'));
  EXPECT_FALSE(read_note_file((folder + L"\\Buy milk.exe").c_str(), &file));
  EXPECT_FALSE(read_note_file(L"C:\\no such folder\\note.exe", &file));
  EXPECT_FALSE(read_note_file(L"", &file));
}

#ifdef TESSARK_NOTE_TEMPLATE
TEST(ReadNoteFile, ANoteGivesItsLookTextAndSize) {
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
  std::wstring path = note_with_table(L"Buy milk,.and eggs.exe", s, 333, 177);
  ASSERT_FALSE(path.empty());
  static ReopenedNoteFile file;
  ASSERT_TRUE(read_note_file(path.c_str(), &file));
  const NoteSettings& n = file.note.settings;
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
  EXPECT_EQ(file.note.client_width, 333);
  EXPECT_EQ(file.note.client_height, 177);
  EXPECT_STREQ(file.text, L"Buy milk\r\nand eggs");
  EXPECT_EQ(std::wstring(file.path), path);
}

TEST(ReadNoteFile, TheTemplatesOwnTableAndALongFaceName) {
  static ReopenedNoteFile file;
  // The plain note template reads with its own defaults.
  std::wstring plain = scratch_folder(L"reopen") + L"\\plain.exe";
  ASSERT_TRUE(CopyFileW(TESSARK_NOTE_TEMPLATE, plain.c_str(), FALSE));
  ASSERT_TRUE(read_note_file(plain.c_str(), &file));
  EXPECT_EQ(file.note.settings.background_color, 0u);
  EXPECT_EQ(file.note.settings.text_color, 255u);
  EXPECT_EQ(file.note.settings.auto_close_seconds, 10);
  EXPECT_STREQ(W(file.note.settings.face_name), L"ＭＳ ゴシック");
  EXPECT_EQ(file.note.client_width, 300);
  EXPECT_EQ(file.note.client_height, 200);
  EXPECT_STREQ(file.text, L"plain");

  // A table written by something other than the editor, with a 40-unit face.
  std::wstring path = scratch_folder(L"reopen") + L"\\longface.exe";
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
  ASSERT_TRUE(read_note_file(path.c_str(), &file));
  EXPECT_EQ(std::wstring(W(file.note.settings.face_name)), std::wstring(31, L'F'));
  EXPECT_EQ(file.note.client_width, 210);
}
#endif

TEST_F(NoteWriter, WithoutANoteTemplateOrAFolderNothingIsWritten) {
  HINSTANCE no_template = module_with(nullptr);
  write_note_file(request(no_template, L"builder output test"), &result_);
  EXPECT_EQ(result_.failure, NOTE_WRITE_NO_TEMPLATE);
  EXPECT_STREQ(W(note_write_message(result_.failure)), L"付箋テンプレートの読み込みに失敗しました");
  std::vector<uint8_t> junk(4096, 'M');
  NoteOutput in = request(module_with(&junk), L"builder output test");
  in.folder = L"";
  write_note_file(in, &result_);
  EXPECT_EQ(result_.failure, NOTE_WRITE_NO_FOLDER);
  EXPECT_STREQ(W(note_write_message(result_.failure)), L"デスクトップフォルダの取得に失敗しました");
  EXPECT_TRUE(files_in(folder_).empty());
}

TEST_F(NoteWriter, AFailedResourceUpdateLeavesTheDestination) {
  // A template that is no program: its copy is written, the update refused.
  std::vector<uint8_t> junk(4096, 'M');
  HINSTANCE junk_template = module_with(&junk);
  write_note_file(request(junk_template, L"builder output test"), &result_);
  EXPECT_EQ(result_.failure, NOTE_WRITE_RESOURCES_FAILED);
  EXPECT_STREQ(W(note_write_message(result_.failure)), L"リソースの更新処理に失敗しました");
  EXPECT_TRUE(files_in(folder_).empty()) << "no half-made note where there was none";
  // A note already at that path stays as it was, byte for byte.
  const std::vector<uint8_t> earlier = {'a', 'n', ' ', 'e', 'a', 'r', 'l', 'i', 'e', 'r'};
  std::wstring note = in_folder(L"builder output test.exe");
  write_bytes(note, earlier);
  write_note_file(request(junk_template, L"builder output test"), &result_);
  EXPECT_EQ(result_.failure, NOTE_WRITE_RESOURCES_FAILED);
  EXPECT_EQ(read_bytes(note), earlier);
  EXPECT_EQ(files_in(folder_), std::vector<std::wstring>{L"builder output test.exe"});
}

#ifdef TESSARK_NOTE_TEMPLATE
TEST_F(NoteWriter, OutputWritesTheSettingsAndACorrectionMovesTheNote) {
  std::vector<uint8_t> note_template = read_bytes(TESSARK_NOTE_TEMPLATE);
  HINSTANCE resources = module_with(&note_template);
  look_.margin = 12;
  look_.background_color = RGB(255, 255, 0);
  look_.text_color = RGB(0, 0, 255);
  look_.image_enabled = 0;  // the path is kept but not written
  text16_copy(look_.image_path, PATH_UNITS, u"C:\\pictures\\back.bmp");
  std::wstring note = in_folder(L"builder output test.exe");
  ShellEvents shell(folder_);
  write_note_file(request(resources, L"builder output test"), &result_);
  ASSERT_EQ(result_.failure, NOTE_WRITE_OK);
  EXPECT_EQ(std::wstring(result_.note_path), note);
  // Explorer is told at once, so the desktop shows the note in its colour.
  EXPECT_TRUE(shell.told_in_order({{SHCNE_CREATE, note}}));

  // The table holds exactly the settings and the client size.
  uint8_t expected[NOTE_SETTINGS_TABLE_BYTES];
  size_t bytes = encode_note_settings(look_, 300, 200, expected);
  std::vector<uint8_t> table = resource_of(note, RT_STRING, 1);
  ASSERT_EQ(table.size(), bytes);
  EXPECT_EQ(memcmp(table.data(), expected, bytes), 0);
  std::vector<uint8_t> group = resource_of(note, RT_GROUP_ICON, 2);
  std::vector<uint8_t> image = resource_of(note, RT_ICON, 2);
  ASSERT_EQ(group.size(), 20u);
  ASSERT_EQ(image.size(), size_t(DEFAULT_NOTE_ICON_BYTES));
  const uint8_t palette[8] = {0, 255, 255, 0, 128, 255, 255, 0};
  EXPECT_EQ(memcmp(image.data() + 40, palette, 8), 0);

  // A correction: the note moves to the new text's name and is rewritten;
  // the escape confirmation is asked for once, before anything is written.
  look_.margin = 3;
  std::wstring moved = in_folder(L"builder output test,, corrected.exe");
  NoteOutput in = request(resources, L"builder output test, corrected", note.c_str());
  struct Asked {
    int times;
    bool note_there;
    std::wstring note;
  } asked = {0, false, note};
  in.context = &asked;
  in.escaped = [](void* context, const EscapeCounts&) {
    Asked* a = static_cast<Asked*>(context);
    ++a->times;
    a->note_there = GetFileAttributesW(a->note.c_str()) == INVALID_FILE_ATTRIBUTES;
  };
  write_corrected_note(in, &result_);
  ASSERT_EQ(result_.failure, NOTE_WRITE_OK);
  EXPECT_EQ(asked.times, 1);
  EXPECT_TRUE(result_.renamed);
  EXPECT_EQ(std::wstring(result_.note_path), moved);
  EXPECT_TRUE(shell.told_in_order({{SHCNE_RENAMEITEM, note}, {SHCNE_UPDATEITEM, moved}}));
  EXPECT_EQ(files_in(folder_), std::vector<std::wstring>{L"builder output test,, corrected.exe"});
  EXPECT_EQ(margin_of(moved), u"3");
}

TEST_F(NoteWriter, LeftoversOfAKilledEditorGoAndNothingElse) {
  std::vector<uint8_t> note_template = read_bytes(TESSARK_NOTE_TEMPLATE);
  HINSTANCE resources = module_with(&note_template);
  FILETIME hour_ago;
  GetSystemTimeAsFileTime(&hour_ago);
  ULARGE_INTEGER t = {{hour_ago.dwLowDateTime, hour_ago.dwHighDateTime}};
  t.QuadPart -= 3600ULL * 10000000;
  hour_ago = {t.LowPart, t.HighPart};
  for (const wchar_t* name : {L"~tessark-1-0.tmp", L"notes.tmp", L"~tessark-2-0.tmp"}) {
    write_bytes(in_folder(name), {'x'});
    if (name[9] == L'2') continue;  // a fresh one: another editor may be writing it
    HANDLE file = CreateFileW(in_folder(name).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    SetFileTime(file, nullptr, nullptr, &hour_ago);
    CloseHandle(file);
  }
  // The name the writer tries first is pending deletion: deleted through one
  // handle while a scanner holds the file through another, it stays until
  // the last one closes (DeleteFileW would free it at once on current
  // Windows). Creating it is then refused, as access denied on Windows and
  // as an existing file under Wine: the writer takes the next name.
  std::wstring first = L"~tessark-" + std::to_wstring(GetCurrentProcessId()) + L"-0.tmp";
  write_bytes(in_folder(first), {'x'});
  const DWORD SHARE_ALL = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  HANDLE scanner = CreateFileW(in_folder(first).c_str(), GENERIC_READ, SHARE_ALL, nullptr, OPEN_EXISTING, 0, nullptr);
  HANDLE deleter = CreateFileW(in_folder(first).c_str(), DELETE, SHARE_ALL, nullptr, OPEN_EXISTING, 0, nullptr);
  FILE_DISPOSITION_INFO disposition = {TRUE};
  ASSERT_TRUE(SetFileInformationByHandle(deleter, FileDispositionInfo, &disposition, sizeof disposition));
  CloseHandle(deleter);
  write_note_file(request(resources, L"leftovers"), &result_);
  auto sorted = [](std::vector<std::wstring> names) {
    std::sort(names.begin(), names.end());
    return names;
  };
  std::vector<std::wstring> kept = sorted(files_in(folder_));
  CloseHandle(scanner);
  EXPECT_EQ(result_.failure, NOTE_WRITE_OK);
  EXPECT_EQ(kept, sorted({L"leftovers.exe", L"notes.tmp", L"~tessark-2-0.tmp", first}))
      << "the name pending deletion stays until the scanner lets go";
  EXPECT_EQ(sorted(files_in(folder_)), sorted({L"leftovers.exe", L"notes.tmp", L"~tessark-2-0.tmp"}));
  // The note from the next name is whole.
  uint8_t table[NOTE_SETTINGS_TABLE_BYTES];
  size_t bytes = encode_note_settings(look_, 300, 200, table);
  EXPECT_EQ(resource_of(in_folder(L"leftovers.exe"), RT_STRING, 1), std::vector<uint8_t>(table, table + bytes));
  EXPECT_EQ(resource_of(in_folder(L"leftovers.exe"), RT_ICON, 2).size(), size_t(DEFAULT_NOTE_ICON_BYTES));
}

// What a user expects when another program holds the note: the note is never
// lost or half rewritten, whichever step is refused.
class HeldNote : public NoteWriter {
 protected:
  void SetUp() override {
    NoteWriter::SetUp();
    note_template_ = read_bytes(TESSARK_NOTE_TEMPLATE);
    resources_ = module_with(&note_template_);
    look_.auto_close_seconds = 0;  // a started note stays
    note_ = in_folder(L"held note.exe");
    write_note_file(request(resources_, L"held note"), &result_);
    ASSERT_EQ(result_.failure, NOTE_WRITE_OK);
    bytes_ = read_bytes(note_);
    look_.margin = 33;  // what a correction would change
  }

  void TearDown() override {
    if (running_.hProcess) {
      TerminateProcess(running_.hProcess, 0);
      WaitForSingleObject(running_.hProcess, 10000);
      CloseHandle(running_.hProcess);
      CloseHandle(running_.hThread);
    }
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

  void output(const wchar_t* text) { write_note_file(request(resources_, text), &result_); }
  void correct(const wchar_t* text, HINSTANCE resources = nullptr) {
    write_corrected_note(request(resources ? resources : resources_, text, note_.c_str()), &result_);
  }

  // The step failed with message, and the note and the folder are as they were.
  void expect_failed_and_nothing_changed(const wchar_t* message) {
    EXPECT_STREQ(W(note_write_message(result_.failure)), message);
    EXPECT_FALSE(result_.moved_back_failed);
    EXPECT_EQ(read_bytes(note_), bytes_) << "the note changed";
    EXPECT_EQ(files_in(folder_), std::vector<std::wstring>{L"held note.exe"});
  }

  std::vector<uint8_t> note_template_, bytes_;
  HINSTANCE resources_ = nullptr;
  std::wstring note_;
  PROCESS_INFORMATION running_ = {};
};

const wchar_t CREATE_FAILED[] = L"ファイルの作成に失敗しました";
const wchar_t NOTE_RUNNING[] =
    L"付箋が実行中のため訂正できません。付箋を閉じてから、もう一度実行してください";

TEST_F(HeldNote, ARunningNoteIsNeitherReplacedNorRenamed) {
  ASSERT_TRUE(start_note());
  output(L"held note");
  expect_failed_and_nothing_changed(CREATE_FAILED);
  correct(L"held note");
  expect_failed_and_nothing_changed(NOTE_RUNNING);
  correct(L"held note, renamed");
  expect_failed_and_nothing_changed(NOTE_RUNNING);
  EXPECT_EQ(std::wstring(result_.note_path), note_);
}

TEST_F(HeldNote, ANoteHeldWithFullSharingIsKeptOrReplacedWhole) {
  // Held as a virus scanner holds a fresh file, sharing everything. Wine
  // refuses to replace it; Windows may replace it (the reader keeps the old
  // data). Either way the note is whole: the old one with the message, or
  // the new one without.
  HANDLE scanner = CreateFileW(note_.c_str(), GENERIC_READ,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(scanner, INVALID_HANDLE_VALUE);
  output(L"held note");
  if (result_.failure == NOTE_WRITE_OK) {
    EXPECT_EQ(files_in(folder_), std::vector<std::wstring>{L"held note.exe"});
    EXPECT_EQ(margin_of(note_), u"33");
    CloseHandle(scanner);
    return;
  }
  expect_failed_and_nothing_changed(CREATE_FAILED);
  correct(L"held note, renamed");
  expect_failed_and_nothing_changed(CREATE_FAILED);
  EXPECT_EQ(std::wstring(result_.note_path), note_);
  CloseHandle(scanner);
  // Once it has let go, the same correction goes through.
  correct(L"held note, renamed");
  EXPECT_EQ(result_.failure, NOTE_WRITE_OK);
  EXPECT_EQ(files_in(folder_), std::vector<std::wstring>{L"held note,, renamed.exe"});
  EXPECT_EQ(margin_of(in_folder(L"held note,, renamed.exe")), u"33");
}

TEST_F(HeldNote, ANoteHeldForAMomentIsReplacedOnARetry) {
  HeldFor scanner(note_, FILE_SHARE_READ, 500);
  ASSERT_TRUE(scanner.held());
  output(L"held note");
  EXPECT_EQ(result_.failure, NOTE_WRITE_OK);
  EXPECT_EQ(files_in(folder_), std::vector<std::wstring>{L"held note.exe"});
  EXPECT_EQ(margin_of(note_), u"33");
}

TEST_F(HeldNote, AFailedCorrectionMovesTheNoteBack) {
  // The rename succeeds, then the output fails: its template is no program.
  std::vector<uint8_t> junk(4096, 'M');
  correct(L"held note, renamed", module_with(&junk));
  expect_failed_and_nothing_changed(L"リソースの更新処理に失敗しました");
  EXPECT_EQ(std::wstring(result_.note_path), note_);
}

TEST_F(HeldNote, ANoteThatCannotGoBackIsNamedWhereItIs) {
  // Another program opens the renamed note without delete sharing before
  // anything is written, and holds it: the output cannot replace it, and the
  // note cannot go back to its old name. It grabs the note from the escape
  // confirmation (the text needs escaping), which comes after the rename.
  struct Grab {
    std::wstring path;
    HANDLE file;
  } grab = {in_folder(L"held note,, renamed.exe"), INVALID_HANDLE_VALUE};
  const std::wstring& renamed = grab.path;
  NoteOutput in = request(resources_, L"held note, renamed", note_.c_str());
  in.context = &grab;
  in.escaped = [](void* context, const EscapeCounts&) {
    Grab* g = static_cast<Grab*>(context);
    g->file = CreateFileW(g->path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  };
  write_corrected_note(in, &result_);
  ASSERT_NE(grab.file, INVALID_HANDLE_VALUE) << "the note was not renamed before the output";
  CloseHandle(grab.file);
  EXPECT_STREQ(W(note_write_message(result_.failure)), CREATE_FAILED);
  EXPECT_TRUE(result_.moved_back_failed);
  EXPECT_EQ(std::wstring(result_.note_path), renamed) << "the editor must name the note where it is";
  EXPECT_EQ(read_bytes(renamed), bytes_);
  EXPECT_EQ(files_in(folder_), std::vector<std::wstring>{L"held note,, renamed.exe"});
  char16_t message[NOTE_PATH_UNITS + 128];
  format_moved_back_failure(reinterpret_cast<const char16_t*>(renamed.c_str()), message, NOTE_PATH_UNITS + 128);
  EXPECT_EQ(std::wstring(W(message)),
            L"付箋を元の名前に戻せませんでした。付箋は新しい名前のまま、次の場所にあります\n\n" + renamed);
}

TEST_F(HeldNote, DeviceNamesAreRefusedBeforeAnythingIsCreated) {
  // Anything created in the folder, even for a moment, shows here.
  HANDLE change = FindFirstChangeNotificationW(folder_.c_str(), FALSE, FILE_NOTIFY_CHANGE_FILE_NAME);
  ASSERT_NE(change, INVALID_HANDLE_VALUE);
  for (const wchar_t* name : {L"NUL", L"com1", L"Aux.txt"}) {
    output(name);
    expect_failed_and_nothing_changed(CREATE_FAILED);
    correct(name);
    expect_failed_and_nothing_changed(CREATE_FAILED);
  }
  EXPECT_EQ(WaitForSingleObject(change, 200), WAIT_TIMEOUT) << "a file was made in the folder";
  FindCloseChangeNotification(change);
}
#endif

#ifdef TESSARK_NOTE_TEMPLATE
namespace {

// A new folder on a volume other than near's, found by asking Windows for its
// drives (D: on a hosted runner, T: on tmpfs under the test command); empty
// when there is none. Another volume is one that a move without copying
// cannot reach.
std::wstring folder_on_other_volume(const std::wstring& near) {
  wchar_t drives[128];
  DWORD units = GetLogicalDriveStringsW(128, drives);
  if (units == 0 || units >= 128) return L"";
  UINT mode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);  // no "insert a disk" box
  std::wstring found, probe = near + L"\\volume probe";
  for (const wchar_t* d = drives; *d && found.empty(); d += lstrlenW(d) + 1) {
    UINT type = GetDriveTypeW(d);
    if (type != DRIVE_FIXED && type != DRIVE_REMOVABLE && type != DRIVE_RAMDISK) continue;
    std::wstring folder = d + (L"tessark-tests-" + std::to_wstring(GetCurrentProcessId()) + L"-volume");
    if (!CreateDirectoryW(folder.c_str(), nullptr)) continue;
    std::wstring file = folder + L"\\volume probe";
    bool other = write_bytes(file, {'x'}) && !MoveFileExW(file.c_str(), probe.c_str(), 0) &&
                 GetLastError() == ERROR_NOT_SAME_DEVICE;
    DeleteFileW(file.c_str());
    DeleteFileW(probe.c_str());
    if (other) found = folder; else RemoveDirectoryW(folder.c_str());
  }
  SetErrorMode(mode);
  return found;
}

// The held note reopened from another volume (a USB stick, D:), where a move
// to the scratch folder would copy and delete.
class NoteOnOtherVolume : public HeldNote {
 protected:
  void SetUp() override {
    HeldNote::SetUp();
    if (HasFatalFailure()) return;
    other_ = folder_on_other_volume(folder_);
    if (other_.empty()) GTEST_SKIP() << "no second volume with a folder this test may write";
    std::wstring there = other_ + L"\\held note.exe";
    ASSERT_TRUE(MoveFileW(note_.c_str(), there.c_str()));
    note_ = there;
  }
  void TearDown() override {
    if (!other_.empty()) {
      for (const std::wstring& name : files_in(other_)) {
        SetFileAttributesW((other_ + L"\\" + name).c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW((other_ + L"\\" + name).c_str());
      }
      for (int i = 0; i < 50 && !RemoveDirectoryW(other_.c_str()); ++i) Sleep(100);
      EXPECT_FALSE(exists(other_)) << other_ << " was left behind";
    }
    HeldNote::TearDown();
  }
  std::wstring other_;
};

}  // namespace

TEST_F(NoteOnOtherVolume, ACorrectionWritesTheNoteFirstAndThenDeletesTheOldOne) {
  // Reopened as Tessark.exe "held note.exe" started in the note's folder.
  wchar_t here[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, here);
  SetCurrentDirectoryW(other_.c_str());
  static ReopenedNoteFile file;
  bool read = read_note_file(L"held note.exe", &file);
  SetCurrentDirectoryW(here);
  ASSERT_TRUE(read);
  ASSERT_EQ(std::wstring(file.path), note_) << "the editor must name the file it read";

  // An old note that cannot be deleted (read-only, as copied from a CD)
  // stays beside the new one, and the result says so.
  std::wstring corrected = in_folder(L"held note,, corrected.exe");
  SetFileAttributesW(note_.c_str(), FILE_ATTRIBUTE_READONLY);
  write_corrected_note(request(resources_, L"held note, corrected", file.path), &result_);
  SetFileAttributesW(note_.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(result_.failure, NOTE_WRITE_OK);
  EXPECT_TRUE(result_.old_note_kept);
  EXPECT_EQ(std::wstring(result_.note_path), corrected);
  EXPECT_EQ(read_bytes(note_), bytes_);
  ASSERT_TRUE(DeleteFileW(corrected.c_str()));

  // Once the old note can go, the note is on this side alone, with the new look.
  write_corrected_note(request(resources_, L"held note, corrected", file.path), &result_);
  ASSERT_EQ(result_.failure, NOTE_WRITE_OK);
  EXPECT_TRUE(result_.renamed);
  EXPECT_FALSE(result_.old_note_kept);
  EXPECT_EQ(std::wstring(result_.note_path), corrected);
  EXPECT_EQ(files_in(folder_), std::vector<std::wstring>{L"held note,, corrected.exe"});
  EXPECT_TRUE(files_in(other_).empty());
  uint8_t expected[NOTE_SETTINGS_TABLE_BYTES];
  size_t bytes = encode_note_settings(look_, 300, 200, expected);
  EXPECT_EQ(resource_of(corrected, RT_STRING, 1), std::vector<uint8_t>(expected, expected + bytes));
}

TEST_F(NoteOnOtherVolume, AFailedCorrectionLeavesTheOldNoteWhereItWas) {
  std::vector<uint8_t> junk(4096, 'M');  // a template that is no program: the output fails
  correct(L"held note, renamed", module_with(&junk));
  EXPECT_STREQ(W(note_write_message(result_.failure)), L"リソースの更新処理に失敗しました");
  EXPECT_FALSE(result_.moved_back_failed);
  EXPECT_EQ(std::wstring(result_.note_path), note_) << "the editor must name the note where it is";
  EXPECT_EQ(read_bytes(note_), bytes_);
  EXPECT_EQ(files_in(other_), std::vector<std::wstring>{L"held note.exe"});
  EXPECT_TRUE(files_in(folder_).empty());
}
#endif
