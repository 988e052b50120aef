// Tinting arbitrary icon images of any length, and the shade of any colour.
#include <cstdlib>
#include <vector>
#include "editor/builder/icon_composer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  uint8_t colour[3] = {data[0], data[1], data[2]};
  lighter_shade(colour);
  // The shade never darkens a component.
  for (int i = 0; i < 3; ++i)
    if (colour[i] < data[i]) abort();
  std::vector<uint8_t> image(data + 3, data + size);
  tint_note_icon(image.data(), image.size(), data[0] | (data[1] << 8) | (data[2] << 16));
  return 0;
}
