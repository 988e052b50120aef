// Arbitrary bytes as a background image file: the completeness check reads
// only the head it is given, and the pixel size arithmetic never wraps.
#include <cstdlib>
#include <vector>
#include "common/background_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  size_t head = size < BITMAP_FILE_HEAD_BYTES ? size : BITMAP_FILE_HEAD_BYTES;
  std::vector<uint8_t> copy(data, data + head);  // exactly head bytes, so ASan sees any over-read
  uint64_t claimed = size + (size ? data[0] : 0);
  bitmap_file_is_complete(copy.data(), copy.size(), size);
  bitmap_file_is_complete(copy.data(), copy.size(), claimed);
  if (size >= 8) {
    int32_t w = static_cast<int32_t>(data[0] | (data[1] << 8) | (data[2] << 16) | (uint32_t(data[3]) << 24));
    int32_t h = static_cast<int32_t>(data[4] | (data[5] << 8) | (data[6] << 16) | (uint32_t(data[7]) << 24));
    size_t bytes = 0;
    if (dib32_image_bytes(w, h, &bytes) && (w <= 0 || h <= 0 || bytes != uint64_t(w) * uint64_t(h) * 4)) abort();
  }
  return 0;
}
