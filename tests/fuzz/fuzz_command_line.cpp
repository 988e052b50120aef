// Splitting arbitrary command lines: the argument, if any, lies inside the line.
#include <cstdlib>
#include "common/text16.h"
#include "editor/builder/command_line.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::u16string line = fuzz_text16(data, size, 4096);
  char16_t* start = &line[0];
  char16_t* arg = first_command_line_argument(start);
  if (arg && (arg < start || arg > start + line.size())) abort();
  if (arg && text16_length(arg) > line.size()) abort();
  return 0;
}
