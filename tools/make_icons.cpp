// Build-time generator of the programs' icon files:
//   default_note_icon.ico  the 1-bit sheet with a folded corner (both programs)
//   app_icon.ico           the editor's 128 x 128, 8-bit application icon
// Usage: make_icons OUTPUT_FOLDER
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>
#include "common/default_note_icon.h"

namespace {

void put16(std::vector<uint8_t>& v, size_t at, uint32_t x) {
  v[at] = static_cast<uint8_t>(x);
  v[at + 1] = static_cast<uint8_t>(x >> 8);
}
void put32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
  put16(v, at, x & 0xFFFF);
  put16(v, at + 2, x >> 16);
}

// An .ico file of one image: ICONDIR, one ICONDIRENTRY, the image.
bool write_ico(const std::string& path, const uint8_t* image, uint32_t bytes, int colours, int bits) {
  std::vector<uint8_t> file(22 + bytes, 0);
  put16(file, 2, 1);
  put16(file, 4, 1);
  file[6] = 128;
  file[7] = 128;
  file[8] = static_cast<uint8_t>(colours);
  put16(file, 10, 1);
  put16(file, 12, bits);
  put32(file, 14, bytes);
  put32(file, 18, 22);
  std::memcpy(file.data() + 22, image, bytes);
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(file.data(), 1, file.size(), f) == file.size();
  return std::fclose(f) == 0 && ok;
}

struct Rgba {
  double r, g, b, a;
};

// The application icon: a yellow sticky note, slightly turned, with a lighter
// folded corner and three lines of writing, on a transparent ground.
Rgba app_icon_colour(double x, double y) {
  const double angle = -0.12, cx = 64, cy = 66;
  double u = std::cos(angle) * (x - cx) - std::sin(angle) * (y - cy);
  double v = std::sin(angle) * (x - cx) + std::cos(angle) * (y - cy);
  Rgba shadow = {0, 0, 0, 0};
  if (std::fabs(u - 4) < 50 && std::fabs(v - 5) < 52) shadow = {0.25, 0.2, 0.1, 0.35};
  if (std::fabs(u) > 50 || std::fabs(v) > 52) return shadow;
  double fold = (u - 50) - (v + 52);  // distance past the top-right corner's diagonal
  if (u + -v > 76) return shadow;     // the corner turned down
  if (u + -v > 60) return {1.0, 0.97, 0.72, 1};
  (void)fold;
  for (int line = 0; line < 3; ++line) {
    double base = -14 + line * 20;
    double length = line == 2 ? 40 : 70;
    if (std::fabs(v - base) < 3 && u > -38 && u < -38 + length) return {0.35, 0.3, 0.25, 1};
  }
  if (v < -40) return {0.98, 0.78, 0.2, 1};  // the glued strip
  return {1.0, 0.88, 0.35, 1};
}

std::vector<uint8_t> make_app_icon() {
  const int n = 128, row_bytes = 128, mask_row = 16;
  std::vector<uint8_t> image(40 + 1024 + n * row_bytes + n * mask_row, 0);
  put32(image, 0, 40);
  put32(image, 4, n);
  put32(image, 8, 2 * n);
  put16(image, 12, 1);
  put16(image, 14, 8);
  // Palette: a 6 x 6 x 6 colour cube followed by 40 greys.
  for (int i = 0; i < 256; ++i) {
    int r, g, b;
    if (i < 216) {
      r = (i / 36) * 51, g = (i / 6 % 6) * 51, b = (i % 6) * 51;
    } else {
      r = g = b = (i - 216) * 255 / 39;
    }
    image[40 + 4 * i] = static_cast<uint8_t>(b);
    image[41 + 4 * i] = static_cast<uint8_t>(g);
    image[42 + 4 * i] = static_cast<uint8_t>(r);
  }
  for (int row = 0; row < n; ++row) {
    for (int col = 0; col < n; ++col) {
      Rgba sum = {0, 0, 0, 0};
      for (int sy = 0; sy < 4; ++sy)  // 4 x 4 supersampling for smooth edges
        for (int sx = 0; sx < 4; ++sx) {
          Rgba c = app_icon_colour(col + (sx + 0.5) / 4, row + (sy + 0.5) / 4);
          sum.r += c.r * c.a, sum.g += c.g * c.a, sum.b += c.b * c.a, sum.a += c.a;
        }
      int line = n - 1 - row;
      if (sum.a < 8) {
        image[40 + 1024 + n * row_bytes + line * mask_row + col / 8] |= 0x80 >> (col % 8);
        continue;
      }
      double r = sum.r / sum.a * 255, g = sum.g / sum.a * 255, b = sum.b / sum.a * 255;
      int best = 0;
      double best_d = 1e18;
      for (int i = 0; i < 256; ++i) {
        double d = std::pow(image[42 + 4 * i] - r, 2) + std::pow(image[41 + 4 * i] - g, 2) +
                   std::pow(image[40 + 4 * i] - b, 2);
        if (d < best_d) best_d = d, best = i;
      }
      image[40 + 1024 + line * row_bytes + col] = static_cast<uint8_t>(best);
    }
  }
  return image;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_icons OUTPUT_FOLDER\n");
    return 2;
  }
  std::string folder = argv[1];
  uint8_t note[DEFAULT_NOTE_ICON_BYTES];
  make_default_note_icon_image(note);
  std::vector<uint8_t> app = make_app_icon();
  if (!write_ico(folder + "/default_note_icon.ico", note, sizeof note, 2, 1) ||
      !write_ico(folder + "/app_icon.ico", app.data(), static_cast<uint32_t>(app.size()), 0, 8)) {
    std::perror("make_icons");
    return 1;
  }
  return 0;
}
