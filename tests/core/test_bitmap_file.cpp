// The check that a background image file holds every byte its headers
// promise before the platform's loader reads it.
#include <gtest/gtest.h>
#include <cstdint>
#include <vector>
#include "common/background_image.h"

namespace {

void put(std::vector<uint8_t>& out, size_t at, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

struct Bmp {
  int32_t width = 3, height = 2;
  uint16_t bits = 24;
  uint32_t compression = 0, image_size = 0, colours_used = 0;
  uint32_t header_size = 40;
  uint32_t table = 0;       // palette or mask bytes after the header
  int64_t pixels = -1;      // pixel bytes written; -1: as many as the size needs
  int64_t offset = -1;      // file header's pixel offset; -1: right after the table

  std::vector<uint8_t> bytes() const {
    uint64_t stride = (static_cast<uint64_t>(width > 0 ? width : 0) * bits + 31) / 32 * 4;
    uint64_t need = stride * static_cast<uint64_t>(height < 0 ? -static_cast<int64_t>(height) : height);
    size_t start = 14 + header_size + table;
    size_t count = pixels < 0 ? static_cast<size_t>(need) : static_cast<size_t>(pixels);
    std::vector<uint8_t> out(start + count, 0x5A);
    out[0] = 'B';
    out[1] = 'M';
    put(out, 2, static_cast<uint32_t>(out.size()), 4);
    put(out, 10, offset < 0 ? static_cast<uint32_t>(start) : static_cast<uint32_t>(offset), 4);
    put(out, 14, header_size, 4);
    if (header_size == 12) {
      put(out, 18, static_cast<uint32_t>(width), 2);
      put(out, 20, static_cast<uint32_t>(height), 2);
      put(out, 22, 1, 2);
      put(out, 24, bits, 2);
      return out;
    }
    put(out, 18, static_cast<uint32_t>(width), 4);
    put(out, 22, static_cast<uint32_t>(height), 4);
    put(out, 26, 1, 2);
    put(out, 28, bits, 2);
    put(out, 30, compression, 4);
    put(out, 34, image_size, 4);
    put(out, 46, colours_used, 4);
    return out;
  }
};

bool complete(const std::vector<uint8_t>& file) {
  size_t head = file.size() < BITMAP_FILE_HEAD_BYTES ? file.size() : BITMAP_FILE_HEAD_BYTES;
  return bitmap_file_is_complete(file.data(), head, file.size());
}

bool complete_without_last_byte(std::vector<uint8_t> file) {
  file.pop_back();
  return complete(file);
}

}  // namespace

TEST(BitmapFile, WholeFilesOfEveryDepthPassAndOneByteLessFails) {
  for (uint16_t bits : {1, 4, 8, 16, 24, 32}) {
    Bmp b;
    b.width = 5;
    b.bits = bits;
    b.table = bits <= 8 ? 4u << bits : 0;
    EXPECT_TRUE(complete(b.bytes())) << bits;
    EXPECT_FALSE(complete_without_last_byte(b.bytes())) << bits;
  }
  Bmp top_down;  // a negative height is a top-down image, as long as the bottom-up one
  top_down.height = -2;
  EXPECT_TRUE(complete(top_down.bytes()));
  EXPECT_FALSE(complete_without_last_byte(top_down.bytes()));
}

TEST(BitmapFile, FilesCutShortAnywhereFail) {
  std::vector<uint8_t> whole = Bmp().bytes();
  for (size_t size : {size_t{0}, size_t{2}, size_t{13}, size_t{17}, size_t{30}, size_t{53}, size_t{54},
                      whole.size() - 1}) {
    std::vector<uint8_t> cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size));
    EXPECT_FALSE(complete(cut)) << size;
  }
  // The headers alone, claiming a large picture.
  Bmp claim;
  claim.width = 30000;
  claim.height = 30000;
  claim.pixels = 1000;
  EXPECT_FALSE(complete(claim.bytes()));
  // A palette that the file does not hold.
  Bmp palette;
  palette.bits = 8;
  palette.table = 4 * 256;
  palette.colours_used = 300;
  EXPECT_FALSE(complete(palette.bytes()));
  palette.colours_used = 200;
  EXPECT_TRUE(complete(palette.bytes()));
}

TEST(BitmapFile, PixelOffsetPastTheDataFails) {
  Bmp b;
  b.offset = 14 + 40 + 1;
  EXPECT_FALSE(complete(b.bytes()));
  b.offset = 0xFFFFFFF0;  // would wrap a 32-bit sum
  EXPECT_FALSE(complete(b.bytes()));
}

TEST(BitmapFile, RunLengthImagesMustHoldTheirStatedSize) {
  Bmp rle;
  rle.width = 50000;  // huge sides cost a run-length file nothing
  rle.height = 50000;
  rle.bits = 8;
  rle.compression = 1;
  rle.table = 1024;
  rle.image_size = 2;
  rle.pixels = 2;
  EXPECT_TRUE(complete(rle.bytes()));
  rle.image_size = 3;
  EXPECT_FALSE(complete(rle.bytes()));
  rle.image_size = 0;  // a stream of no bytes is no image
  EXPECT_FALSE(complete(rle.bytes()));
  rle.bits = 24;  // RLE8 only exists for 8 bits per pixel
  rle.image_size = 2;
  EXPECT_FALSE(complete(rle.bytes()));
}

TEST(BitmapFile, LayoutsNoBitmapHasFail) {
  Bmp zero_width;
  zero_width.width = 0;
  EXPECT_FALSE(complete(zero_width.bytes()));
  Bmp zero_height;
  zero_height.height = 0;
  EXPECT_FALSE(complete(zero_height.bytes()));
  Bmp negative_width;
  negative_width.width = -3;
  negative_width.pixels = 64;
  EXPECT_FALSE(complete(negative_width.bytes()));
  Bmp odd_depth;
  odd_depth.bits = 7;
  EXPECT_FALSE(complete(odd_depth.bytes()));
  Bmp jpeg;
  jpeg.compression = 4;
  jpeg.pixels = 64;
  EXPECT_FALSE(complete(jpeg.bytes()));
  Bmp no_header;
  no_header.header_size = 0;
  no_header.pixels = 64;
  EXPECT_FALSE(complete(no_header.bytes()));
  std::vector<uint8_t> not_bm = Bmp().bytes();
  not_bm[0] = 'P';
  EXPECT_FALSE(complete(not_bm));
}

TEST(BitmapFile, OtherHeaderFormsAndColourMasks) {
  Bmp core;  // the old 12-byte header, 3-byte palette entries
  core.header_size = 12;
  core.bits = 8;
  core.table = 3 * 256;
  EXPECT_TRUE(complete(core.bytes()));
  EXPECT_FALSE(complete_without_last_byte(core.bytes()));
  Bmp masks;  // 16 bits with three masks after a 40-byte header
  masks.bits = 16;
  masks.compression = 3;
  masks.table = 12;
  EXPECT_TRUE(complete(masks.bytes()));
  masks.table = 0;
  masks.offset = 14 + 40 + 12;  // the masks run into the pixels the file lacks
  EXPECT_FALSE(complete(masks.bytes()));
  Bmp v5;  // masks inside a 124-byte header
  v5.header_size = 124;
  v5.bits = 32;
  v5.compression = 3;
  EXPECT_TRUE(complete(v5.bytes()));
  EXPECT_FALSE(complete_without_last_byte(v5.bytes()));
}
