// Icon templates read from real .ico files, the default note icon taken from
// a program's resources, and the composed, tinted icon that output writes.
#include <gtest/gtest.h>
#include <cstring>
#include "editor/builder/icon_composer_win.h"
#include "test_icon_template_support.h"

namespace {

// What read_icon_template gave.
struct TemplateRead {
  bool ok;
  uint8_t group[ICON_GROUP_BYTES];
  std::vector<uint8_t> image;
};

TemplateRead read_template(const std::wstring& path) {
  TemplateRead r{};
  uint8_t* image = reinterpret_cast<uint8_t*>(1);
  r.ok = read_icon_template(path.c_str(), r.group, &image);
  if (r.ok && image) {
    r.image.assign(image, image + icon_group_byte_count(r.group));
    free_icon_image(image);
  } else if (image) {
    ADD_FAILURE() << "a failed read still hands over an image";
  }
  return r;
}

std::wstring icon_path(const std::wstring& name, const std::vector<uint8_t>& bytes) {
  static std::wstring dir = scratch_folder(L"icons");
  std::wstring path = dir + L"\\" + name;
  EXPECT_TRUE(write_bytes(path, bytes));
  return path;
}

void expect_refused(const TemplateRead& r, const char* what) {
  EXPECT_FALSE(r.ok) << what;
}

// The group directory that a template's first entry must give.
void expect_group(const TemplateRead& r, int width, int height, int colours, int bits,
                  uint32_t count) {
  const uint8_t expected[ICON_GROUP_BYTES] = {
      0, 0, 1, 0, 1, 0, static_cast<uint8_t>(width), static_cast<uint8_t>(height),
      static_cast<uint8_t>(colours), 0, 1, 0, static_cast<uint8_t>(bits), 0,
      static_cast<uint8_t>(count), static_cast<uint8_t>(count >> 8),
      static_cast<uint8_t>(count >> 16), 0, 2, 0};
  EXPECT_EQ(std::memcmp(r.group, expected, ICON_GROUP_BYTES), 0);
  EXPECT_EQ(r.image.size(), count);
}

std::vector<uint32_t> grey_palette(int n) {
  std::vector<uint32_t> p(n);
  for (int i = 0; i < n; ++i) p[i] = (n == 2 ? i * 255 : i * 255 / (n - 1)) * 0x010101u;
  return p;
}

// A minimal PNG (stored deflate blocks) of a width x height opaque picture.
uint32_t crc32_of(const uint8_t* p, size_t n) {
  uint32_t c = 0xFFFFFFFFu;
  for (size_t i = 0; i < n; ++i) {
    c ^= p[i];
    for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0 - (c & 1)));
  }
  return ~c;
}

void png_chunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
  uint32_t n = static_cast<uint32_t>(data.size());
  for (int i = 3; i >= 0; --i) out.push_back(static_cast<uint8_t>(n >> (8 * i)));
  size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  uint32_t crc = crc32_of(out.data() + start, out.size() - start);
  for (int i = 3; i >= 0; --i) out.push_back(static_cast<uint8_t>(crc >> (8 * i)));
}

std::vector<uint8_t> png_image(int size) {
  std::vector<uint8_t> raw;
  for (int y = 0; y < size; ++y) {
    raw.push_back(0);  // no filter
    for (int x = 0; x < size; ++x) raw.insert(raw.end(), {uint8_t(x), uint8_t(y), 200, 255});
  }
  std::vector<uint8_t> z = {0x78, 0x01};
  for (size_t at = 0; at < raw.size(); at += 65535) {
    size_t n = std::min<size_t>(65535, raw.size() - at);
    z.push_back(at + n == raw.size() ? 1 : 0);
    z.insert(z.end(), {uint8_t(n), uint8_t(n >> 8), uint8_t(~n), uint8_t(~n >> 8)});
    z.insert(z.end(), raw.begin() + at, raw.begin() + at + n);
  }
  uint32_t a = 1, b = 0;
  for (uint8_t v : raw) a = (a + v) % 65521, b = (b + a) % 65521;
  uint32_t adler = (b << 16) | a;
  for (int i = 3; i >= 0; --i) z.push_back(static_cast<uint8_t>(adler >> (8 * i)));
  std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  std::vector<uint8_t> ihdr = {0, 0, uint8_t(size >> 8), uint8_t(size), 0, 0, uint8_t(size >> 8),
                               uint8_t(size), 8, 6, 0, 0, 0};
  png_chunk(out, "IHDR", ihdr);
  png_chunk(out, "IDAT", z);
  png_chunk(out, "IEND", {});
  return out;
}

bool system_loads_icon(const std::wstring& path) {
  HANDLE icon = LoadImageW(nullptr, path.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE);
  if (icon) DestroyIcon(static_cast<HICON>(icon));
  return icon != nullptr;
}

}  // namespace

TEST(IconTemplateWin, ReadsTheFirstImageOfEveryPaletteDepth) {
  struct Case {
    int width, height, colours, bits;
  } cases[] = {{32, 32, 2, 1}, {32, 32, 16, 4}, {16, 16, 0, 8}, {48, 48, 0, 8}};
  for (const Case& c : cases) {
    int entries = c.bits == 8 ? 256 : (1 << c.bits);
    auto image = dib_icon_image(c.width, c.height, c.bits, grey_palette(entries));
    auto path = icon_path(L"depth" + std::to_wstring(c.bits) + L"-" + std::to_wstring(c.width) +
                              L".ico",
                          ico_file({{c.width, c.height, c.colours, c.bits, image}}));
    TemplateRead r = read_template(path);
    ASSERT_TRUE(r.ok) << c.bits;
    expect_group(r, c.width, c.height, c.colours, c.bits, static_cast<uint32_t>(image.size()));
    EXPECT_EQ(r.image, image) << c.bits;
  }
  // The worked example: 32 x 32, 16 colours, 4 bits per pixel is 744 bytes.
  auto example = read_template(icon_path(L"depth4-32.ico", ico_file({{32, 32, 16, 4,
      dib_icon_image(32, 32, 4, grey_palette(16))}})));
  EXPECT_EQ(icon_group_byte_count(example.group), 744u);
}

TEST(IconTemplateWin, ReadsDeepImagesWithoutPalette) {
  for (int bits : {24, 32}) {
    auto image = dib_icon_image(32, 32, bits, {});
    auto path = icon_path(L"deep" + std::to_wstring(bits) + L".ico",
                          ico_file({{32, 32, 0, bits, image}}));
    TemplateRead r = read_template(path);
    ASSERT_TRUE(r.ok) << bits;
    expect_group(r, 32, 32, 0, bits, static_cast<uint32_t>(image.size()));
    EXPECT_EQ(r.image, image);
  }
  // An entry without a depth, as many .ico files have: the image header's
  // depth is taken, and the note's group directory carries it.
  auto image = dib_icon_image(32, 32, 32, {});
  auto depthless = ico_file({{32, 32, 0, 32, image}});
  depthless[12] = 0;
  TemplateRead r = read_template(icon_path(L"nodepth.ico", depthless));
  ASSERT_TRUE(r.ok);
  expect_group(r, 32, 32, 0, 32, static_cast<uint32_t>(image.size()));
  EXPECT_EQ(r.image, image);
}

TEST(IconTemplateWin, OnlyTheFirstOfSeveralImagesIsUsed) {
  auto small = dib_icon_image(16, 16, 4, grey_palette(16));
  auto large = dib_icon_image(48, 48, 32, {});
  std::vector<uint8_t> file = ico_file({{16, 16, 16, 4, small}, {48, 48, 0, 32, large}});
  TemplateRead r = read_template(icon_path(L"several.ico", file));
  ASSERT_TRUE(r.ok);
  expect_group(r, 16, 16, 16, 4, static_cast<uint32_t>(small.size()));
  EXPECT_EQ(r.image, small);
  EXPECT_EQ(r.group[4], 1) << "the group names one image whatever the file held";
}

TEST(IconTemplateWin, UnreadableFilesAreRefusedAndHoldNothing) {
  // A 256-pixel PNG image first (its entry's width and height bytes are 0),
  // a small bitmap image after it: the system loads the file, we refuse it.
  auto png_first = icon_path(L"png256.ico", ico_file({{256, 256, 0, 32, png_image(256)},
      {32, 32, 0, 32, dib_icon_image(32, 32, 32, {})}}));
  ASSERT_TRUE(system_loads_icon(png_first));
  expect_refused(read_template(png_first), "256-pixel PNG");

  // A PNG image whose entry claims an ordinary 32 x 32 bitmap.
  auto png_small = icon_path(L"png32.ico", ico_file({{32, 32, 0, 32, png_image(32)}}));
  expect_refused(read_template(png_small), "32-pixel PNG");

  // Cut short inside its image data.
  auto whole = ico_file({{32, 32, 16, 4, dib_icon_image(32, 32, 4, grey_palette(16))}});
  whole.resize(whole.size() - 100);
  expect_refused(read_template(icon_path(L"cut.ico", whole)), "cut short");

  // A bitmap renamed to .ico.
  std::vector<uint8_t> bmp(54 + 4 * 4 * 4, 0);
  bmp[0] = 'B', bmp[1] = 'M';
  put_le(bmp, 2, static_cast<uint32_t>(bmp.size()), 4);
  put_le(bmp, 10, 54, 4);
  put_le(bmp, 14, 40, 4);
  put_le(bmp, 18, 4, 4);
  put_le(bmp, 22, 4, 4);
  put_le(bmp, 26, 1, 2);
  put_le(bmp, 28, 32, 2);
  expect_refused(read_template(icon_path(L"picture.ico", bmp)), "bitmap renamed");

  // Header of another size (BITMAPV4HEADER), and an entry whose size the
  // image header does not share (a 16 x 16 image filed as 32 x 32).
  auto v4 = dib_icon_image(32, 32, 32, {}, 108);
  expect_refused(read_template(icon_path(L"v4.ico", ico_file({{32, 32, 0, 32, v4}}))),
                 "108-byte header");
  auto mislabelled = ico_file({{32, 32, 0, 32, dib_icon_image(16, 16, 32, {})}});
  mislabelled.resize(mislabelled.size() + 32 * 32 * 4);  // enough bytes for what the entry says
  auto mislabelled_path = icon_path(L"mislabelled.ico", mislabelled);
  ASSERT_TRUE(system_loads_icon(mislabelled_path));
  expect_refused(read_template(mislabelled_path), "entry and header disagree");

  // A palette of 256 entries in an image that the entry sizes for 2.
  auto big_palette = dib_icon_image(4, 4, 8, grey_palette(2));
  expect_refused(read_template(icon_path(L"palette.ico", ico_file({{4, 4, 2, 8, big_palette}}))),
                 "palette beyond the image");

  // No path at all, and a path that does not exist.
  expect_refused(read_template(L""), "empty path");
  expect_refused(read_template(L"C:\\no\\such\\icon.ico"), "missing file");
}

namespace {

// An instance that carries the default note icon as the editor does.
HINSTANCE default_icon_module() {
  static HINSTANCE module = editor_like_module(L"with_icon.exe", nullptr);
  return module;
}

struct Composed {
  bool ok;
  uint8_t group[ICON_GROUP_BYTES];
  std::vector<uint8_t> image;
  bool unreadable;  // the editor then shows the icon-file message
};

Composed compose(const NoteSettings& s) {
  Composed c{};
  uint8_t* image = nullptr;
  c.ok = compose_note_icon(default_icon_module(), s, c.group, &image, &c.unreadable);
  if (image) c.image.assign(image, image + icon_group_byte_count(c.group));
  free_icon_image(image);
  return c;
}

}  // namespace

TEST(ComposeNoteIcon, DefaultIconTintedToTheBackground) {
  ASSERT_NE(default_icon_module(), nullptr);
  NoteSettings s;
  set_default_note_settings(&s);
  s.background_color = RGB(255, 255, 0);
  Composed c = compose(s);
  ASSERT_TRUE(c.ok);
  EXPECT_FALSE(c.unreadable);
  const uint8_t group[ICON_GROUP_BYTES] = {0, 0, 1, 0, 1, 0, 0x80, 0x80, 2, 0,
                                           1, 0, 1, 0, 0x30, 0x10, 0, 0, 2, 0};
  EXPECT_EQ(std::memcmp(c.group, group, ICON_GROUP_BYTES), 0);
  ASSERT_EQ(c.image.size(), size_t(DEFAULT_NOTE_ICON_BYTES));
  std::vector<uint8_t> plain(DEFAULT_NOTE_ICON_BYTES);
  make_default_note_icon_image(plain.data());
  const uint8_t palette[8] = {0, 255, 255, 0, 128, 255, 255, 0};  // sheet, lighter fold
  EXPECT_EQ(std::memcmp(c.image.data() + 40, palette, 8), 0);
  EXPECT_TRUE(std::equal(c.image.begin() + 48, c.image.end(), plain.begin() + 48));
}

TEST(ComposeNoteIcon, TemplateIsTintedAndAnUnreadableOneFallsBack) {
  ASSERT_NE(default_icon_module(), nullptr);
  NoteSettings s;
  set_default_note_settings(&s);
  s.background_color = RGB(200, 100, 50);
  s.icon_enabled = 1;
  // A 4-bit template: white first, then black, then a colour.
  std::vector<uint32_t> palette(16, 0x123456);
  palette[3] = 0xFFFFFF, palette[5] = 0, palette[9] = 0;
  auto image = dib_icon_image(32, 32, 4, palette);
  auto path = icon_path(L"tint.ico", ico_file({{32, 32, 16, 4, image}}));
  lstrcpynW(reinterpret_cast<wchar_t*>(s.icon_path), path.c_str(), PATH_UNITS);
  Composed c = compose(s);
  ASSERT_TRUE(c.ok);
  EXPECT_FALSE(c.unreadable);
  ASSERT_EQ(c.image.size(), 744u);
  auto rgb = [&](int i) {
    return RGB(c.image[42 + 4 * i], c.image[41 + 4 * i], c.image[40 + 4 * i]);
  };
  EXPECT_EQ(rgb(3), RGB(242, 142, 92));
  EXPECT_EQ(rgb(5), RGB(200, 100, 50));
  EXPECT_EQ(rgb(9), RGB(0, 0, 0));
  EXPECT_EQ(rgb(0), RGB(0x12, 0x34, 0x56));
  EXPECT_TRUE(std::equal(c.image.begin() + 104, c.image.end(), image.begin() + 104));

  // A deep template is written exactly as it is.
  auto deep = dib_icon_image(32, 32, 24, {});
  path = icon_path(L"tint24.ico", ico_file({{32, 32, 0, 24, deep}}));
  lstrcpynW(reinterpret_cast<wchar_t*>(s.icon_path), path.c_str(), PATH_UNITS);
  c = compose(s);
  EXPECT_EQ(c.image, deep);

  // Unreadable: reported, and the default icon, tinted.
  path = icon_path(L"broken.ico", {1, 2, 3});
  lstrcpynW(reinterpret_cast<wchar_t*>(s.icon_path), path.c_str(), PATH_UNITS);
  c = compose(s);
  ASSERT_TRUE(c.ok);
  EXPECT_TRUE(c.unreadable);
  ASSERT_EQ(c.image.size(), size_t(DEFAULT_NOTE_ICON_BYTES));
  EXPECT_EQ(c.image[42], 200);
  EXPECT_EQ(c.group[6], 128);

  // Enabled with an empty path: the same, and the default icon.
  s.icon_path[0] = 0;
  c = compose(s);
  EXPECT_TRUE(c.unreadable);
  EXPECT_EQ(c.image.size(), size_t(DEFAULT_NOTE_ICON_BYTES));
}

TEST(ComposeNoteIcon, AProgramWithoutTheDefaultIconGivesNone) {
  uint8_t group[ICON_GROUP_BYTES];
  uint8_t* image = reinterpret_cast<uint8_t*>(1);
  EXPECT_FALSE(load_default_note_icon(GetModuleHandleW(nullptr), group, &image));
  EXPECT_EQ(image, nullptr);
}
