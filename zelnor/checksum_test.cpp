#include "checksum.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The checksum as defined: per byte, rotate right by one bit, then XOR.
uint16_t test_defined_sum(uint16_t sum, const std::string& bytes) {
  for (unsigned char b : bytes) sum = static_cast<uint16_t>(((sum >> 1) | (sum << 15)) ^ b);
  return sum;
}

uint16_t test_update(uint16_t sum, const std::string& bytes) {
  return checksum_update(sum, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

// Sums worked out by hand; and the definition above at every length, for the
// folded sum takes its own path for each length mod 16, with and without
// whole 64-byte chunks before it.
TEST(Checksum, WorkedValuesAndEveryLengthTo200) {
  struct { const char* name; std::string bytes; uint16_t start, sum; } worked[] = {
      {"abc from BEEF", "abc", 0xBEEF, 0xB797}, {"1000 bytes FF", std::string(1000, '\xFF'), 0, 0xAAAA}};
  std::string bytes;  // that look random, so that a byte summed in the wrong lane shows
  for (uint32_t x = 1; bytes.size() < 200;) bytes += static_cast<char>((x = x * 1103515245u + 12345u) >> 24);
  for (const auto& c : worked) EXPECT_EQ(test_update(c.start, c.bytes), c.sum) << c.name;
  for (uint16_t start : {0x0000, 0x8001}) {
    for (size_t n = 0; n <= bytes.size(); n++) {
      EXPECT_EQ(test_update(start, bytes.substr(0, n)), test_defined_sum(start, bytes.substr(0, n)))
          << n << " bytes from " << start;
    }
  }
}

}  // namespace
