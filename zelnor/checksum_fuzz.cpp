// Fuzzes the folded checksum against the byte-by-byte definition.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "checksum.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const uint16_t start = static_cast<uint16_t>(data[0] | (data[1] << 8));
  uint16_t expected = start;
  for (size_t i = 2; i < size; i++) {
    expected = static_cast<uint16_t>((expected >> 1) | ((expected & 1) << 15));
    expected ^= data[i];
  }
  if (checksum_update(start, data + 2, size - 2) != expected) std::abort();
  return 0;
}
