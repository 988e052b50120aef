// Arbitrary bytes as an icon template file, read the way the editor reads
// one: the checks decide, then the image is copied and tinted. AddressSanitizer
// guards every read and write.
#include <cstdlib>
#include <cstring>
#include <vector>
#include "editor/builder/icon_composer.h"

static uint32_t le32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24); }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < ICON_ENTRY_READ_BYTES + 4) return 0;
  uint8_t group[ICON_GROUP_BYTES] = {0};
  std::memcpy(group, data, ICON_ENTRY_READ_BYTES);
  uint32_t offset = le32(data + ICON_ENTRY_READ_BYTES);
  if (uint64_t(offset) + ICON_HEADER_BYTES > size) return 0;  // the header read comes up short
  const uint8_t* header = data + offset;
  uint32_t bytes = check_icon_template(group, offset, header, size);
  if (bytes == 0) return 0;
  if (uint64_t(offset) + bytes > size || bytes < ICON_HEADER_BYTES) abort();
  finish_icon_group(group, header, bytes);
  if (icon_group_byte_count(group) != bytes) abort();
  std::vector<uint8_t> image(data + offset, data + offset + bytes);
  tint_note_icon(image.data(), image.size(), le32(data) & 0xFFFFFF);
  return 0;
}
