// The icon composer's arithmetic: lighter shades, palette tinting, the icon
// byte count and the forms of icon template that are refused.
#include <gtest/gtest.h>
#include <cstring>
#include <vector>
#include "common/default_note_icon.h"
#include "editor/builder/icon_composer.h"

namespace {

struct Rgb {
  int r, g, b;
};

// lighter_shade works on palette bytes (blue, green, red).
Rgb shade(Rgb c) {
  uint8_t bytes[3] = {static_cast<uint8_t>(c.b), static_cast<uint8_t>(c.g),
                      static_cast<uint8_t>(c.r)};
  lighter_shade(bytes);
  return {bytes[2], bytes[1], bytes[0]};
}

uint32_t colorref(int r, int g, int b) { return r | (g << 8) | (b << 16); }

void put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
void put16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}

// A palette image: 40-byte header with the given depth and colours-used,
// then the palette entries (b, g, r, reserved), then room for pixels.
std::vector<uint8_t> palette_image(int bits, uint32_t colours_used,
                                   const std::vector<Rgb>& palette, size_t pixel_bytes = 64) {
  std::vector<uint8_t> image(40 + 4 * palette.size() + pixel_bytes, 0xEE);
  std::memset(image.data(), 0, 40);
  put32(image.data(), 40);
  put16(image.data() + 14, static_cast<uint16_t>(bits));
  put32(image.data() + 32, colours_used);
  for (size_t i = 0; i < palette.size(); ++i) {
    image[40 + 4 * i] = static_cast<uint8_t>(palette[i].b);
    image[41 + 4 * i] = static_cast<uint8_t>(palette[i].g);
    image[42 + 4 * i] = static_cast<uint8_t>(palette[i].r);
    image[43 + 4 * i] = 0x5A;  // reserved: must survive
  }
  return image;
}

Rgb entry(const std::vector<uint8_t>& image, size_t i) {
  return {image[42 + 4 * i], image[41 + 4 * i], image[40 + 4 * i]};
}

bool same(Rgb a, Rgb b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

#define EXPECT_RGB(actual, red, green, blue)                                           \
  do {                                                                                  \
    Rgb a_ = (actual);                                                                  \
    EXPECT_TRUE(same(a_, Rgb{red, green, blue}))                                        \
        << a_.r << "," << a_.g << "," << a_.b << " vs " << red << "," << green << "," << blue; \
  } while (0)

}  // namespace

TEST(LighterShade, EveryDocumentedExample) {
  EXPECT_RGB(shade({0, 0, 0}), 42, 42, 42);
  EXPECT_RGB(shade({200, 100, 50}), 242, 142, 92);
  EXPECT_RGB(shade({255, 0, 0}), 255, 64, 64);
  EXPECT_RGB(shade({214, 0, 0}), 255, 43, 43);
  EXPECT_RGB(shade({255, 255, 0}), 255, 255, 128);
  EXPECT_RGB(shade({250, 250, 0}), 255, 255, 117);
  EXPECT_RGB(shade({10, 220, 230}), 77, 255, 255);
  EXPECT_RGB(shade({255, 255, 255}), 255, 255, 255);
}

TEST(LighterShade, ComponentPositionAndTiesDoNotChangeTheRule) {
  // The same values in every position give the same values back in place.
  EXPECT_RGB(shade({0, 0, 255}), 64, 64, 255);
  EXPECT_RGB(shade({0, 255, 0}), 64, 255, 64);
  EXPECT_RGB(shade({230, 10, 220}), 255, 77, 255);
  EXPECT_RGB(shade({213, 213, 213}), 255, 255, 255);
  EXPECT_RGB(shade({213, 0, 0}), 255, 42, 42);  // the last value that gains 42
  EXPECT_RGB(shade({100, 100, 40}), 142, 142, 82);
}

TEST(TintNoteIcon, DefaultNoteIconTakesTheBackgroundAndALighterFold) {
  std::vector<uint8_t> image(DEFAULT_NOTE_ICON_BYTES);
  make_default_note_icon_image(image.data());
  std::vector<uint8_t> before = image;
  tint_note_icon(image.data(), image.size(), colorref(255, 255, 0));
  EXPECT_RGB(entry(image, 0), 255, 255, 0);
  EXPECT_RGB(entry(image, 1), 255, 255, 128);
  EXPECT_EQ(image[43], 0);  // reserved bytes untouched
  EXPECT_EQ(image[47], 0);
  // Nothing but the palette changes.
  EXPECT_TRUE(std::equal(image.begin() + 48, image.end(), before.begin() + 48));
  EXPECT_TRUE(std::equal(image.begin(), image.begin() + 40, before.begin()));

  make_default_note_icon_image(image.data());
  tint_note_icon(image.data(), image.size(), colorref(255, 255, 255));
  EXPECT_RGB(entry(image, 0), 255, 255, 255);
  EXPECT_RGB(entry(image, 1), 255, 255, 255);
}

TEST(TintNoteIcon, OnlyTheFirstBlackAndFirstWhiteChange) {
  // White before black, several blacks and whites, other colours around.
  std::vector<Rgb> palette = {{10, 20, 30}, {255, 255, 255}, {0, 0, 0},
                              {0, 0, 0},    {255, 255, 255}, {0, 0, 1}};
  auto image = palette_image(8, 6, palette);
  tint_note_icon(image.data(), image.size(), colorref(200, 100, 50));
  EXPECT_RGB(entry(image, 0), 10, 20, 30);
  EXPECT_RGB(entry(image, 1), 242, 142, 92);  // white: lighter shade
  EXPECT_RGB(entry(image, 2), 200, 100, 50);  // first black
  EXPECT_RGB(entry(image, 3), 0, 0, 0);
  EXPECT_RGB(entry(image, 4), 255, 255, 255);
  EXPECT_RGB(entry(image, 5), 0, 0, 1);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(image[43 + 4 * i], 0x5A);

  // Two whites and no black: the walk runs to the end and still changes one.
  auto whites = palette_image(4, 3, {{255, 255, 255}, {255, 255, 255}, {5, 5, 5}});
  tint_note_icon(whites.data(), whites.size(), colorref(255, 0, 0));
  EXPECT_RGB(entry(whites, 0), 255, 64, 64);
  EXPECT_RGB(entry(whites, 1), 255, 255, 255);
  EXPECT_RGB(entry(whites, 2), 5, 5, 5);
}

TEST(TintNoteIcon, ABlackTurnedWhiteIsNotTakenForTheWhiteEntry) {
  // A white background turns the black entry white; the real white entry
  // that follows must still be the one that gets the shade.
  auto image = palette_image(1, 0, {{0, 0, 0}, {255, 255, 255}});
  tint_note_icon(image.data(), image.size(), colorref(0, 0, 0));
  EXPECT_RGB(entry(image, 0), 0, 0, 0);
  EXPECT_RGB(entry(image, 1), 42, 42, 42);
}

TEST(TintNoteIcon, PalettesWithoutBlackOrWhiteOrWithoutEntriesStayAsTheyAre) {
  auto grey = palette_image(8, 3, {{1, 1, 1}, {254, 254, 254}, {128, 0, 0}});
  auto grey_before = grey;
  tint_note_icon(grey.data(), grey.size(), colorref(9, 9, 9));
  EXPECT_EQ(grey, grey_before);

  // 24 and 32 bits per pixel: no palette, the black bytes after the header are pixels.
  for (int bits : {24, 32}) {
    auto deep = palette_image(bits, 0, {{0, 0, 0}, {255, 255, 255}});
    auto deep_before = deep;
    tint_note_icon(deep.data(), deep.size(), colorref(9, 9, 9));
    EXPECT_EQ(deep, deep_before) << bits;
  }
}

TEST(TintNoteIcon, APaletteBeyondTheImageIsLeftAlone) {
  // 8 bits per pixel without colours-used claims 256 entries (1024 bytes)
  // in an image of only two entries and a few pixel bytes.
  auto image = palette_image(8, 0, {{0, 0, 0}, {255, 255, 255}}, 8);
  auto before = image;
  tint_note_icon(image.data(), image.size(), colorref(9, 9, 9));
  EXPECT_EQ(image, before);
  // A header whose size field points far beyond the image.
  put32(image.data(), 0xFFFFFFF0u);
  put32(image.data() + 32, 2);
  before = image;
  tint_note_icon(image.data(), image.size(), colorref(9, 9, 9));
  EXPECT_EQ(image, before);
  // Colours-used so large that 4 x entries overflows 32 bits.
  put32(image.data(), 40);
  put32(image.data() + 32, 0x40000001u);
  before = image;
  tint_note_icon(image.data(), image.size(), colorref(9, 9, 9));
  EXPECT_EQ(image, before);
  // Shorter than a header.
  uint8_t tiny[8] = {0};
  tint_note_icon(tiny, sizeof tiny, colorref(9, 9, 9));
  EXPECT_EQ(tiny[0], 0);
}

TEST(IconByteCount, RowsArePaddedAndPalettesFollowTheDepth) {
  EXPECT_EQ(icon_image_byte_count(32, 32, 16, 4, 40), 744u);  // the worked example
  EXPECT_EQ(icon_image_byte_count(128, 128, 2, 1, 40), 4144u);  // the default note icon
  EXPECT_EQ(icon_image_byte_count(32, 32, 0, 4, 40), 744u);   // 0 colours at 4 bits: 16
  EXPECT_EQ(icon_image_byte_count(16, 16, 0, 8, 40), 16u * 16 + 16 * 4 + 1024 + 40);
  EXPECT_EQ(icon_image_byte_count(16, 16, 0, 1, 40), 16u * 4 + 16 * 4 + 8 + 40);
  // 3 x 24 bits = 9 bytes, padded to 12; mask 3 bits, padded to 4; no palette.
  EXPECT_EQ(icon_image_byte_count(3, 5, 0, 24, 40), 5u * 12 + 5 * 4 + 40);
  EXPECT_EQ(icon_image_byte_count(48, 48, 0, 32, 40), 48u * 192 + 48 * 8 + 40);
  // An entry's own colour count wins over the depth's default.
  EXPECT_EQ(icon_image_byte_count(16, 16, 5, 8, 40), 16u * 16 + 16 * 4 + 20 + 40);
  // The widest entry a byte can describe with a 16-bit depth field does not wrap.
  EXPECT_EQ(icon_image_byte_count(255, 255, 0, 65535, 40),
            255ull * ((255ull * 65535 + 31) / 32 * 4) + 255 * 32 + 40);
}

namespace {

// An icon file's first 22 bytes (ICONDIR and one entry) and an image header.
struct TemplateBytes {
  uint8_t entry[ICON_ENTRY_READ_BYTES];
  uint32_t offset;
  uint8_t header[ICON_HEADER_BYTES];
};

TemplateBytes template_bytes(int width, int height, int colours, int bits) {
  TemplateBytes t{};
  put16(t.entry + 2, 1);
  put16(t.entry + 4, 1);
  t.entry[6] = static_cast<uint8_t>(width);
  t.entry[7] = static_cast<uint8_t>(height);
  t.entry[8] = static_cast<uint8_t>(colours);
  put16(t.entry + 10, 1);
  put16(t.entry + 12, static_cast<uint16_t>(bits));
  put32(t.entry + 14, 12345);  // the file's own count is never trusted
  t.offset = 22;
  put32(t.header, 40);
  put32(t.header + 4, static_cast<uint32_t>(width));
  put32(t.header + 8, static_cast<uint32_t>(2 * height));
  put16(t.header + 12, 1);
  put16(t.header + 14, static_cast<uint16_t>(bits));
  return t;
}

uint32_t check(const TemplateBytes& t, uint64_t file_size) {
  return check_icon_template(t.entry, t.offset, t.header, file_size);
}

}  // namespace

TEST(IconTemplateCheck, WellFormedEntriesGiveTheirByteCount) {
  auto t = template_bytes(32, 32, 16, 4);
  EXPECT_EQ(check(t, 22 + 744), 744u);
  EXPECT_EQ(check(t, 22 + 744 + 5000), 744u);  // more images may follow
  auto deep = template_bytes(48, 48, 0, 32);
  EXPECT_EQ(check(deep, 22 + 48 * 192 + 48 * 8 + 40), 48u * 192 + 48 * 8 + 40);
}

TEST(IconTemplateCheck, RefusesEveryFormTheCountCannotDescribe) {
  const uint64_t big = 1 << 20;
  EXPECT_EQ(check(template_bytes(0, 32, 0, 32), big), 0u) << "width byte 0 (256 pixels)";
  EXPECT_EQ(check(template_bytes(32, 0, 0, 32), big), 0u) << "height byte 0";
  EXPECT_EQ(check(template_bytes(32, 32, 0, 0), big), 0u) << "bit count 0 in entry and header";

  auto png = template_bytes(32, 32, 0, 32);
  const uint8_t signature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  std::memcpy(png.header, signature, 8);
  EXPECT_EQ(check(png, big), 0u) << "PNG image";

  auto v5 = template_bytes(32, 32, 0, 32);
  put32(v5.header, 124);
  EXPECT_EQ(check(v5, big), 0u) << "BITMAPV5HEADER";
  put32(v5.header, 12);
  EXPECT_EQ(check(v5, big), 0u) << "BITMAPCOREHEADER";

  auto t = template_bytes(32, 32, 16, 4);
  EXPECT_EQ(check(t, 22 + 743), 0u) << "image ends one byte beyond the file";
  t.offset = 0xFFFFFFF0u;
  EXPECT_EQ(check(t, big), 0u) << "offset far beyond the file";

  // 8 bits per pixel with colour count 2 in the entry: the image holds two
  // entries, but the header asks for 256 and would reach into nothing.
  auto pal = template_bytes(4, 4, 2, 8);
  uint64_t count = icon_image_byte_count(4, 4, 2, 8, 40);
  EXPECT_EQ(check(pal, 22 + count), 0u) << "palette larger than the image";
  put32(pal.header + 32, 2);
  EXPECT_EQ(check(pal, 22 + count), count) << "colours-used 2 fits";
  put32(pal.header + 32, 0x40000000u);
  EXPECT_EQ(check(pal, 22 + count), 0u) << "colours-used that overflows";
}

TEST(IconTemplateCheck, EntryAndHeaderMustDescribeTheSameImage) {
  // A 32 x 32 entry without colour count against its image header; the
  // header's height holds both masks.
  struct Case {
    const char* what;
    int entry_bits, header_width, header_height, header_bits;
    uint32_t count;  // 0: refused
  } cases[] = {
      {"agreeing", 32, 32, 64, 32, 32 * 128 + 32 * 4 + 40},
      {"narrower header", 32, 16, 64, 32, 0},
      {"wider header", 32, 33, 64, 32, 0},
      {"header height not doubled", 32, 32, 32, 32, 0},
      {"header height one more", 32, 32, 65, 32, 0},
      {"top-down header", 32, 32, -64, 32, 0},
      {"header deeper than entry", 24, 32, 64, 32, 0},
      {"header shallower than entry", 8, 32, 64, 4, 0},
      {"entry bit count 0 takes the header's 32", 0, 32, 64, 32, 32 * 128 + 32 * 4 + 40},
      {"entry bit count 0 takes the header's 4", 0, 32, 64, 4, 744},
      {"entry bit count 0, header 0", 0, 32, 64, 0, 0},
      {"entry bit count 0, header size disagrees", 0, 32, 32, 32, 0},
  };
  for (const Case& c : cases) {
    auto t = template_bytes(32, 32, 0, c.entry_bits);
    put32(t.header + 4, static_cast<uint32_t>(c.header_width));
    put32(t.header + 8, static_cast<uint32_t>(c.header_height));
    put16(t.header + 14, static_cast<uint16_t>(c.header_bits));
    uint32_t count = check(t, 1 << 20);
    EXPECT_EQ(count, c.count) << c.what;
    if (!count) continue;
    // The note's group directory carries the depth the image really has.
    uint8_t group[ICON_GROUP_BYTES] = {};
    std::memcpy(group, t.entry, ICON_ENTRY_READ_BYTES);
    finish_icon_group(group, t.header, count);
    EXPECT_EQ(group[12] | (group[13] << 8), c.header_bits) << c.what;
    EXPECT_EQ(icon_group_byte_count(group), count) << c.what;
  }
}

TEST(IconGroup, FinishingSetsOneImageTheCountAndIconTwo) {
  auto t = template_bytes(32, 32, 16, 4);
  uint8_t group[ICON_GROUP_BYTES];
  std::memset(group, 0xCC, sizeof group);
  std::memcpy(group, t.entry, ICON_ENTRY_READ_BYTES);
  put16(group + 4, 7);  // a file of seven images
  finish_icon_group(group, t.header, 744);
  const uint8_t expected[ICON_GROUP_BYTES] = {0, 0, 1, 0, 1, 0, 32, 32, 16, 0,
                                              1, 0, 4, 0, 0xE8, 2, 0, 0, 2, 0};
  EXPECT_EQ(std::memcmp(group, expected, sizeof group), 0);
  EXPECT_EQ(icon_group_byte_count(group), 744u);
}
