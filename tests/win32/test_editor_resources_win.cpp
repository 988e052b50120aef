// The built editor's resources, read back from Tessark.exe through the real
// resource functions and parsed from their bytes: the menu, the accelerator
// table, the six dialogs, the icons, the manifest and the note template.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <cstring>
#include <string>
#include <vector>
#include "common/default_note_icon.h"
#include "test_files.h"
#include "editor/editor_ids.h"

#ifdef TESSARK_EDITOR_EXE

namespace {

const WORD JAPANESE = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);
const WORD NEUTRAL = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);
const WORD ENGLISH_US = 1033;

typedef std::vector<uint8_t> Bytes;

// A named CALLBACK: on i686 the enumerator calls it as __stdcall.
BOOL CALLBACK collect_language(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR found) {
  reinterpret_cast<std::vector<WORD>*>(found)->push_back(language);
  return TRUE;
}

class EditorResources : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    module = LoadLibraryExW(TESSARK_EDITOR_EXE, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  }
  static void TearDownTestSuite() {
    if (module) FreeLibrary(module);
    module = nullptr;
  }
  void SetUp() override { ASSERT_NE(module, nullptr) << "cannot map " << GetLastError(); }

  // The resource's bytes in exactly that language, or an empty vector.
  static Bytes resource(LPCWSTR type, LPCWSTR name, WORD language) {
    HRSRC found = FindResourceExW(module, type, name, language);
    if (!found) return {};
    const uint8_t* data = static_cast<const uint8_t*>(LockResource(LoadResource(module, found)));
    return Bytes(data, data + SizeofResource(module, found));
  }
  // Every language the resource exists in (a lookup in language 0 would
  // fall back to any other).
  static std::vector<WORD> languages(LPCWSTR type, LPCWSTR name) {
    std::vector<WORD> found;
    EnumResourceLanguagesW(module, type, name, collect_language, reinterpret_cast<LONG_PTR>(&found));
    return found;
  }
  static HMODULE module;
};
HMODULE EditorResources::module = nullptr;

// Reads little-endian fields and UTF-16 strings from a resource.
struct Reader {
  const Bytes& b;
  size_t at;
  uint16_t word() {
    uint16_t v = static_cast<uint16_t>(b.at(at) | b.at(at + 1) << 8);
    at += 2;
    return v;
  }
  uint32_t dword() {
    uint32_t lo = word();
    return lo | static_cast<uint32_t>(word()) << 16;
  }
  int16_t shortint() { return static_cast<int16_t>(word()); }
  std::wstring text() {
    std::wstring s;
    for (uint16_t c = word(); c; c = word()) s += static_cast<wchar_t>(c);
    return s;
  }
  // A string or an ordinal (0xFFFF and a number, written as "#n").
  std::wstring text_or_ordinal() {
    if (b.at(at) == 0xFF && b.at(at + 1) == 0xFF) {
      at += 2;
      return L"#" + std::to_wstring(word());
    }
    return text();
  }
  void align4() { at = (at + 3) & ~static_cast<size_t>(3); }
};

// ---------------------------------------------------------------- menu

struct MenuRow {
  int depth;
  bool popup, grayed, checked, separator;
  int id;  // -1 for a popup
  std::wstring text;
  bool operator==(const MenuRow& o) const {
    return depth == o.depth && popup == o.popup && grayed == o.grayed && checked == o.checked &&
           separator == o.separator && id == o.id && text == o.text;
  }
};

std::ostream& operator<<(std::ostream& os, const MenuRow& r) {
  os << r.depth << (r.popup ? " popup" : "") << (r.grayed ? " grayed" : "") << (r.checked ? " checked" : "")
     << (r.separator ? " separator" : "") << " id " << r.id << " text of " << r.text.size() << " units";
  return os;
}

// Reads the items of one level of a MENU template; returns after the item with MF_END.
void read_menu_level(Reader& r, int depth, std::vector<MenuRow>& rows) {
  for (;;) {
    uint16_t flags = r.word();
    MenuRow row = {depth, (flags & MF_POPUP) != 0, (flags & MF_GRAYED) != 0, (flags & MF_CHECKED) != 0, false, -1, L""};
    if (!row.popup) row.id = r.word();
    row.text = r.text();
    row.separator = !row.popup && row.id == 0 && row.text.empty() && (flags & ~MF_END) == 0;
    rows.push_back(row);
    if (row.popup) read_menu_level(r, depth + 1, rows);
    if (flags & MF_END) return;
  }
}

MenuRow item(int depth, int id, const wchar_t* text, bool grayed = false) {
  return MenuRow{depth, false, grayed, false, false, id, text};
}
MenuRow popup(int depth, const wchar_t* text) { return MenuRow{depth, true, false, false, false, -1, text}; }
MenuRow separator(int depth) { return MenuRow{depth, false, false, false, true, 0, L""}; }

std::vector<MenuRow> expected_menu() {
  std::vector<MenuRow> m = {
      popup(0, L"ファイル(&F)"),
      item(1, 1009, L"訂正する付箋ファイルを開く(&O)\tCtrl+O"),
      separator(1),
      item(1, 1010, L"訂正を反映する(&S)\tF2", true),
      item(1, 1000, L"付箋を出力(&F)\tF3"),
      separator(1),
      item(1, 1033, L"訂正を反映して終了(&T)\tF4", true),
      item(1, 1034, L"付箋を出力して終了(&H)\tF5"),
      item(1, 1001, L"終了(&X)\tAlt+F4"),
      popup(0, L"付箋(&U)"),
      item(1, 1002, L"アイコン兼背景色設定(&I)"),
      item(1, 1003, L"文字色設定(&M)"),
      item(1, 1004, L"フォント設定(&F)"),
      item(1, 1005, L"余白設定(&Y)"),
      item(1, 1006, L"自動終了設定(&J)"),
      item(1, 1030, L"背景画像設定(&H)"),
      item(1, 1031, L"アイコンテンプレート設定(&T)"),
      popup(0, L"テンプレート(&T)"),
  };
  static std::wstring labels[9], loads[9];
  for (int n = 1; n <= 9; ++n) {
    labels[n - 1] = std::wstring(L"スタイル") + static_cast<wchar_t>(0xFF10 + n) + L"(&" + std::to_wstring(n) + L")";
    loads[n - 1] = L"読み込む(&Y)\tCtrl+" + std::to_wstring(n);
    m.push_back(popup(1, labels[n - 1].c_str()));
    m.push_back(item(2, 1011 + n, loads[n - 1].c_str()));
    m.push_back(item(2, 1020 + n, L"保存(&H)"));
  }
  m.push_back(popup(0, L"オプション(&O)"));
  m.push_back(item(1, 1011, L"エスケープ処理確認メッセージを出す(&E)"));
  m.push_back(popup(0, L"ヘルプ(&H)"));
  m.push_back(item(1, 1007, L"ReadMe.txt(&H)\tF1"));
  m.push_back(item(1, 1032, L"プログラムのあるフォルダを開く(&P)"));
  m.push_back(item(1, 1008, L"バージョン情報(&A)"));
  return m;
}

// ---------------------------------------------------------------- dialogs

struct Control {
  int id;
  std::wstring cls;  // upper case; ordinals named
  DWORD style;       // WS_CHILD and WS_VISIBLE included
  int x, y, cx, cy;
  std::wstring text;
};

struct Dialog {
  DWORD style, ex_style;
  int x, y, cx, cy;
  std::wstring title, face;
  int points;
  std::vector<Control> controls;
};

std::wstring class_name(const std::wstring& raw) {
  if (raw == L"#128") return L"BUTTON";
  if (raw == L"#129") return L"EDIT";
  if (raw == L"#130") return L"STATIC";
  std::wstring upper = raw;
  for (auto& c : upper) c = static_cast<wchar_t>(towupper(c));
  return upper;
}

Dialog parse_dialog(const Bytes& b) {
  Reader r{b, 0};
  Dialog d;
  EXPECT_EQ(r.word(), 1);       // dlgVer: an extended template
  EXPECT_EQ(r.word(), 0xFFFF);  // signature
  r.dword();                    // help id
  d.ex_style = r.dword();
  d.style = r.dword();
  int count = r.word();
  d.x = r.shortint(), d.y = r.shortint(), d.cx = r.shortint(), d.cy = r.shortint();
  EXPECT_EQ(r.text_or_ordinal(), L"");  // no menu
  EXPECT_EQ(r.text_or_ordinal(), L"");  // the standard dialog class
  d.title = r.text();
  d.points = r.word();
  r.word();           // weight
  r.word();           // italic and character set
  d.face = r.text();
  for (int i = 0; i < count; ++i) {
    r.align4();
    Control c;
    r.dword();  // help id
    EXPECT_EQ(r.dword(), 0u) << "no control has an extended style";
    c.style = r.dword();
    c.x = r.shortint(), c.y = r.shortint(), c.cx = r.shortint(), c.cy = r.shortint();
    c.id = static_cast<int>(r.dword());
    c.cls = class_name(r.text_or_ordinal());
    c.text = r.text_or_ordinal();
    r.at += r.word();  // creation data
    d.controls.push_back(c);
  }
  return d;
}

const DWORD CHILD = WS_CHILD | WS_VISIBLE;
const DWORD NUMBER_EDIT = CHILD | WS_BORDER | WS_TABSTOP | ES_NUMBER | ES_AUTOHSCROLL | ES_RIGHT;
const DWORD UPDOWN = CHILD | WS_TABSTOP | UDS_ARROWKEYS | UDS_AUTOBUDDY | UDS_ALIGNRIGHT | UDS_SETBUDDYINT;
const DWORD PATH_EDIT = CHILD | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
const DWORD OK_BUTTON = CHILD | WS_TABSTOP | BS_DEFPUSHBUTTON;
const DWORD PUSH = CHILD | WS_TABSTOP | BS_PUSHBUTTON;
const DWORD LABEL = CHILD | WS_GROUP;
const DWORD DIALOG_STYLE =
    WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_FIXEDSYS | DS_3DLOOK | DS_CENTER;
// The control id -1 as the template stores it (a 32-bit id in an extended template).
const int UNADDRESSED = static_cast<int>(0xFFFFFFFF);

std::vector<Control> number_dialog(const wchar_t* unit) {
  return {{2001, L"EDIT", NUMBER_EDIT, 15, 10, 35, 15, L""},
          {2002, L"MSCTLS_UPDOWN32", UPDOWN, 40, 10, 10, 15, L""},
          {UNADDRESSED, L"STATIC", LABEL | SS_LEFT, 55, 15, 45, 8, unit},
          {IDOK, L"BUTTON", OK_BUTTON, 5, 35, 45, 15, L"OK"},
          {IDCANCEL, L"BUTTON", PUSH, 55, 35, 45, 15, L"キャンセル"}};
}

void expect_dialog(const Bytes& bytes, const wchar_t* title, int cx, int cy, const wchar_t* face,
                   const std::vector<Control>& controls) {
  ASSERT_FALSE(bytes.empty()) << "dialog missing in language 1041";
  Dialog d = parse_dialog(bytes);
  EXPECT_EQ(d.title, title);
  EXPECT_EQ(d.style, DIALOG_STYLE);
  EXPECT_EQ(d.ex_style, 0u);
  EXPECT_EQ(d.x, 0);
  EXPECT_EQ(d.y, 0);
  EXPECT_EQ(d.cx, cx);
  EXPECT_EQ(d.cy, cy);
  EXPECT_EQ(d.points, 10);
  EXPECT_EQ(d.face, face);
  ASSERT_EQ(d.controls.size(), controls.size());
  for (size_t i = 0; i < controls.size(); ++i) {
    const Control& got = d.controls[i];
    const Control& want = controls[i];
    SCOPED_TRACE("control " + std::to_string(i) + " id " + std::to_string(want.id));
    EXPECT_EQ(got.id, want.id);
    EXPECT_EQ(got.cls, want.cls);
    EXPECT_EQ(got.style, want.style) << std::hex << got.style << " " << want.style;
    EXPECT_EQ(got.x, want.x);
    EXPECT_EQ(got.y, want.y);
    EXPECT_EQ(got.cx, want.cx);
    EXPECT_EQ(got.cy, want.cy);
    EXPECT_TRUE(got.text == want.text) << "text differs";
  }
}

}  // namespace

TEST_F(EditorResources, MenuHasEveryItemIdTextSeparatorAndGreyedItem) {
  Bytes menu = resource(RT_MENU, L"TESSARK_MENU", JAPANESE);
  ASSERT_FALSE(menu.empty());
  Reader r{menu, 0};
  EXPECT_EQ(r.word(), 0);  // a plain MENU template, version 0
  EXPECT_EQ(r.word(), 0);
  std::vector<MenuRow> rows;
  read_menu_level(r, 0, rows);
  EXPECT_EQ(r.at, menu.size()) << "nothing follows the last item";
  std::vector<MenuRow> want = expected_menu();
  ASSERT_EQ(rows.size(), want.size());
  for (size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(rows[i], want[i]) << "row " << i;
  // Loaded as a menu, the same template gives the five menus of the bar.
  HMENU loaded = LoadMenuIndirectW(menu.data());
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(GetMenuItemCount(loaded), 5);
  EXPECT_EQ(GetMenuState(loaded, 1010, MF_BYCOMMAND) & MF_GRAYED, static_cast<UINT>(MF_GRAYED));
  EXPECT_EQ(GetMenuState(loaded, 1011, MF_BYCOMMAND) & MF_CHECKED, 0u);
  DestroyMenu(loaded);
}

TEST_F(EditorResources, AcceleratorsInOrderWithTheirKeysAndFlags) {
  Bytes table = resource(RT_ACCELERATOR, L"TESSARK_ACC", JAPANESE);
  ASSERT_EQ(table.size(), 15u * 8u);
  struct Entry {
    uint16_t flags, key, command;
  };
  std::vector<Entry> want = {{0, 15, 1009},
                             {FVIRTKEY, VK_F1, 1007},
                             {FVIRTKEY, VK_F2, 1010},
                             {FVIRTKEY, VK_F3, 1000},
                             {FVIRTKEY, VK_F4, 1033},
                             {FVIRTKEY, VK_F5, 1034}};
  for (int n = 1; n <= 9; ++n)
    want.push_back({FVIRTKEY | FCONTROL, static_cast<uint16_t>('0' + n), static_cast<uint16_t>(1011 + n)});
  Reader r{table, 0};
  for (size_t i = 0; i < want.size(); ++i) {
    uint16_t flags = r.word(), key = r.word(), command = r.word();
    r.word();
    const uint16_t last = 0x80;  // marks the table's last entry
    EXPECT_EQ(flags & ~last, want[i].flags) << "entry " << i;
    EXPECT_EQ((flags & last) != 0, i + 1 == want.size()) << "entry " << i;
    EXPECT_EQ(key, want[i].key) << "entry " << i;
    EXPECT_EQ(command, want[i].command) << "entry " << i;
  }
}

TEST_F(EditorResources, MarginAndAutoCloseDialogs) {
  expect_dialog(resource(RT_DIALOG, MAKEINTRESOURCEW(100), JAPANESE), L"余白設定", 105, 55, L"Ms Shell Dlg",
                number_dialog(L"pixel"));
  expect_dialog(resource(RT_DIALOG, MAKEINTRESOURCEW(101), JAPANESE), L"自動終了設定", 105, 55, L"Ms Shell Dlg",
                number_dialog(L"秒（0なら∞）"));
}

TEST_F(EditorResources, StyleNameAndIconTemplateDialogs) {
  expect_dialog(resource(RT_DIALOG, MAKEINTRESOURCEW(102), JAPANESE), L"スタイル名指定", 200, 45, L"Ms Shell Dlg",
                {{2001, L"EDIT", PATH_EDIT, 10, 5, 170, 15, L""},
                 {IDOK, L"BUTTON", OK_BUTTON, 90, 25, 50, 15, L"OK"},
                 {IDCANCEL, L"BUTTON", PUSH, 145, 25, 50, 15, L"キャンセル"}});
  expect_dialog(resource(RT_DIALOG, MAKEINTRESOURCEW(104), JAPANESE), L"アイコンテンプレート設定", 250, 65,
                L"Ms Shell Dlg",
                {{2003, L"BUTTON", CHILD | WS_TABSTOP | BS_AUTOCHECKBOX, 8, 8, 190, 10,
                  L"アイコンテンプレート設定を有効にする"},
                 {2001, L"EDIT", PATH_EDIT, 10, 25, 205, 15, L""},
                 {2004, L"BUTTON", PUSH, 220, 25, 20, 15, L"..."},
                 {IDOK, L"BUTTON", OK_BUTTON, 140, 45, 50, 15, L"OK"},
                 {IDCANCEL, L"BUTTON", PUSH, 195, 45, 50, 15, L"キャンセル"}});
}

TEST_F(EditorResources, BackgroundImageDialog) {
  expect_dialog(resource(RT_DIALOG, MAKEINTRESOURCEW(103), JAPANESE), L"背景画像設定", 250, 155, L"Ms Shell Dlg",
                {{2003, L"BUTTON", CHILD | WS_TABSTOP | BS_AUTOCHECKBOX, 10, 10, 235, 10, L"背景画像を有効にする"},
                 {UNADDRESSED, L"BUTTON", CHILD | BS_GROUPBOX, 10, 30, 230, 40, L"背景画像ファイル"},
                 {2005, L"EDIT", PATH_EDIT, 20, 45, 185, 15, L""},
                 {2004, L"BUTTON", PUSH, 210, 45, 20, 15, L"..."},
                 {UNADDRESSED, L"BUTTON", CHILD | BS_GROUPBOX, 10, 80, 230, 50, L"背景画像透過色設定"},
                 {UNADDRESSED, L"STATIC", LABEL | SS_RIGHT, 33, 98, 15, 10, L"赤："},
                 {2006, L"EDIT", NUMBER_EDIT, 50, 95, 30, 15, L""},
                 {2009, L"MSCTLS_UPDOWN32", UPDOWN, 70, 95, 10, 15, L""},
                 {UNADDRESSED, L"STATIC", LABEL | SS_RIGHT, 93, 98, 15, 10, L"緑："},
                 {2007, L"EDIT", NUMBER_EDIT, 110, 95, 30, 15, L""},
                 {2010, L"MSCTLS_UPDOWN32", UPDOWN, 130, 95, 10, 15, L""},
                 {UNADDRESSED, L"STATIC", LABEL | SS_RIGHT, 153, 98, 15, 10, L"青："},
                 {2008, L"EDIT", NUMBER_EDIT, 170, 95, 30, 15, L""},
                 {2011, L"MSCTLS_UPDOWN32", UPDOWN, 190, 95, 10, 15, L""},
                 {UNADDRESSED, L"STATIC", LABEL | SS_LEFT, 50, 115, 185, 10, L"※赤、緑、青それぞれ0～255の間で指定"},
                 {IDOK, L"BUTTON", OK_BUTTON, 140, 135, 50, 15, L"OK"},
                 {IDCANCEL, L"BUTTON", PUSH, 195, 135, 50, 15, L"キャンセル"}});
}

TEST_F(EditorResources, AboutBoxWithIconAndLink) {
  expect_dialog(resource(RT_DIALOG, MAKEINTRESOURCEW(105), JAPANESE), L"バージョン情報", 150, 150, L"Ms Shell Dlg 2",
                {{UNADDRESSED, L"STATIC", LABEL | SS_CENTER, 10, 10, 130, 20, L"Tessark\nVersion 1.00"},
                 {UNADDRESSED, L"STATIC", CHILD | SS_ICON | SS_CENTERIMAGE | SS_REALSIZEIMAGE, 10, 30, 130, 65, L"#1"},
                 {UNADDRESSED, L"STATIC", LABEL | SS_CENTER, 10, 100, 130, 10, L"プログラムになる付箋"},
                 {2000, L"STATIC", LABEL | WS_TABSTOP | SS_NOTIFY | SS_CENTER, 10, 110, 130, 10,
                  L"URL : " AUTHOR_PAGE_URL},
                 {IDOK, L"BUTTON", OK_BUTTON, 50, 125, 50, 15, L"OK"}});
}

TEST_F(EditorResources, ApplicationIconAndDefaultNoteIcon) {
  // Group 1 and its image in Japanese, like the rest of the user interface:
  // one 128 x 128 image at 8 bits per pixel, image 1.
  EXPECT_EQ(languages(RT_GROUP_ICON, MAKEINTRESOURCEW(1)), std::vector<WORD>{JAPANESE});
  EXPECT_EQ(languages(RT_ICON, MAKEINTRESOURCEW(1)), std::vector<WORD>{JAPANESE});
  EXPECT_EQ(languages(RT_GROUP_ICON, MAKEINTRESOURCEW(2)), std::vector<WORD>{NEUTRAL});
  Bytes group = resource(RT_GROUP_ICON, MAKEINTRESOURCEW(1), JAPANESE);
  ASSERT_EQ(group.size(), 6u + 14u);
  Reader g{group, 2};
  EXPECT_EQ(g.word(), 1);  // icons
  EXPECT_EQ(g.word(), 1);  // one image
  EXPECT_EQ(group[6], 128);
  EXPECT_EQ(group[7], 128);
  g.at = 6 + 6;
  EXPECT_EQ(g.word(), 8);  // bits per pixel
  g.at = 6 + 12;
  EXPECT_EQ(g.word(), 1);  // image id
  Bytes app = resource(RT_ICON, MAKEINTRESOURCEW(1), JAPANESE);
  ASSERT_GE(app.size(), 40u + 1024u + 128u * 128u + 16u * 128u);
  Reader h{app, 4};
  EXPECT_EQ(h.dword(), 128u);
  EXPECT_EQ(h.dword(), 256u);  // colour and mask halves
  EXPECT_EQ(h.word(), 1);
  EXPECT_EQ(h.word(), 8);

  // Group 2 and image 2 in language 0: the default note icon, byte for byte.
  Bytes note_group = resource(RT_GROUP_ICON, MAKEINTRESOURCEW(2), NEUTRAL);
  uint8_t want_group[ICON_GROUP_DIR_BYTES];
  make_default_note_icon_group(want_group, 2);
  ASSERT_EQ(note_group.size(), sizeof want_group);
  EXPECT_EQ(std::memcmp(note_group.data(), want_group, sizeof want_group), 0);
  Bytes note = resource(RT_ICON, MAKEINTRESOURCEW(2), NEUTRAL);
  uint8_t want_image[DEFAULT_NOTE_ICON_BYTES];
  make_default_note_icon_image(want_image);
  ASSERT_EQ(note.size(), sizeof want_image);
  EXPECT_EQ(std::memcmp(note.data(), want_image, sizeof want_image), 0);
  EXPECT_TRUE(resource(RT_ICON, MAKEINTRESOURCEW(3), NEUTRAL).empty()) << "only two icon images";
}

TEST_F(EditorResources, ManifestAsksForCommonControlsSixAsInvokerPerMonitorAware) {
  Bytes manifest = resource(RT_MANIFEST, MAKEINTRESOURCEW(1), ENGLISH_US);
  ASSERT_FALSE(manifest.empty());
  std::string text(manifest.begin(), manifest.end());
  for (const char* part : {"name=\"Tessark.exe\"", "version=\"1.0.0.0\"", "processorArchitecture=\"*\"",
                           "<description>\xE3\x82\xA2\xE3\x83\x97\xE3\x83\xAA\xE3\x82\xB1\xE3\x83\xBC\xE3\x82\xB7"
                           "\xE3\x83\xA7\xE3\x83\xB3\xE3\x81\xAE\xE8\xAA\xAC\xE6\x98\x8E</description>",
                           "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
                           "level=\"asInvoker\" uiAccess=\"false\"",
                           "<application xmlns=\"urn:schemas-microsoft-com:asm.v3\">",
                           "<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true/pm</dpiAware>",
                           "<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">"
                           "PerMonitorV2, PerMonitor</dpiAwareness>"})
    EXPECT_NE(text.find(part), std::string::npos) << part;
}

#ifdef TESSARK_NOTE_TEMPLATE
TEST_F(EditorResources, NoteTemplateIsTheBuiltNoteProgramAndSharesItsIcon) {
  Bytes carried = resource(L"VEMTO", MAKEINTRESOURCEW(3), ENGLISH_US);
  ASSERT_FALSE(carried.empty());
  HANDLE file = CreateFileW(TESSARK_NOTE_TEMPLATE, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  Bytes built(GetFileSize(file, nullptr));
  DWORD read = 0;
  ReadFile(file, built.data(), static_cast<DWORD>(built.size()), &read, nullptr);
  CloseHandle(file);
  EXPECT_TRUE(carried == built) << "the editor carries the current note program";
  // The note's icon image 1 is the editor's icon image 2.
  HMODULE note = LoadLibraryExW(TESSARK_NOTE_TEMPLATE, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_NE(note, nullptr);
  HRSRC found = FindResourceExW(note, RT_ICON, MAKEINTRESOURCEW(1), NEUTRAL);
  ASSERT_NE(found, nullptr);
  const uint8_t* data = static_cast<const uint8_t*>(LockResource(LoadResource(note, found)));
  Bytes note_icon(data, data + SizeofResource(note, found));
  FreeLibrary(note);
  EXPECT_TRUE(note_icon == resource(RT_ICON, MAKEINTRESOURCEW(2), NEUTRAL));
}
#endif

#endif  // TESSARK_EDITOR_EXE
