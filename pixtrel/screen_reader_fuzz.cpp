// Arbitrary files through the screen reader: a screen is taken only from a
// file long enough for it, and is its first 6912 bytes or those behind a
// 128-byte header.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "screen.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "rb");
  if (file == nullptr) std::abort();
  converter.screen_data.fill(0);
  const bool read = read_screen(file);
  std::fclose(file);
  if (!read) {
    if (size >= kScreenBytes + 128) std::abort();  // long enough whatever its start
    return 0;
  }
  if (size < kScreenBytes) std::abort();
  const bool from_start = std::memcmp(converter.screen_data.data(), data, kScreenBytes) == 0;
  const bool behind_header =
      size >= kScreenBytes + 128 && std::memcmp(converter.screen_data.data(), data + 128, kScreenBytes) == 0;
  if (!from_start && !behind_header) std::abort();
  if (behind_header && !from_start && std::memcmp(data, "PLUS3DOS\x1A", 9) != 0) std::abort();
  return 0;
}
