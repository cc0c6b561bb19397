#include "checksum.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// Bytes from a linear congruential generator: x = x * 1103515245 + 12345
// modulo 2^32 from x = 1, each byte the top 8 bits of the next x.
std::vector<uint8_t> generated_bytes(size_t n) {
  std::vector<uint8_t> bytes(n);
  uint32_t x = 1;
  for (auto& b : bytes) {
    x = x * 1103515245u + 12345u;
    b = static_cast<uint8_t>(x >> 24);
  }
  return bytes;
}

// Sums worked out once, outside this code, from the definition. The folded
// sum takes its own path for each length mod 16 and for whole 64-byte chunks.
TEST(Checksum, WorkedValues) {
  const std::string fox = "The quick brown fox jumps over the lazy dog";
  std::string bytes_0_to_254;
  for (int b = 0; b < 255; ++b) bytes_0_to_254 += static_cast<char>(b);
  struct { std::string text; uint16_t start, sum; } texts[] = {
      {"", 0, 0}, {"a", 0, 0x61}, {"abc", 0, 16458}, {"abc", 0xBEEF, 0xB797}, {fox, 0, 0xC4A9},
      {fox, 0x8001, 0xC499}, {fox + fox, 0, 0x5191}, {bytes_0_to_254, 0, 0x01FE},
      {std::string(1000, '\xFF'), 0, 0xAAAA}};
  for (const auto& t : texts) {
    const auto* data = reinterpret_cast<const uint8_t*>(t.text.data());
    EXPECT_EQ(checksum_update(t.start, data, t.text.size()), t.sum) << t.text.size() << " bytes from " << t.start;
  }
  const std::vector<uint8_t> data = generated_bytes(100);
  ASSERT_EQ(data[0], 0x41);
  ASSERT_EQ(data[1], 0x96);
  struct { size_t length; uint16_t from_0, from_beef; } lengths[] = {
      {15, 0xCEA3, 0xB37C}, {16, 0xE795, 0x597A}, {17, 0xF328, 0x2C5F}, {63, 0xE8D7, 0x9508},
      {64, 0xF4E4, 0x4A0B}, {65, 0x7A3A, 0xA54D}, {100, 0x54A8, 0xAF46}};
  for (const auto& l : lengths) {
    EXPECT_EQ(checksum_update(0, data.data(), l.length), l.from_0) << l.length;
    EXPECT_EQ(checksum_update(0xBEEF, data.data(), l.length), l.from_beef) << l.length;
  }
}

TEST(ChecksumFile, WorkedValuesAroundTheReadBlockSize) {
  constexpr size_t kBlock = kReadBlockBytes;
  static_assert(kBlock == 262144, "the sums below were worked out for lengths around 256 KiB");
  const std::vector<uint8_t> data = generated_bytes(2 * kBlock + 17);
  struct { size_t length; uint16_t sum; } cases[] = {
      {kBlock - 1, 0x8319}, {kBlock, 0xC18F}, {kBlock + 1, 0xE070}, {2 * kBlock, 0x9E49}, {2 * kBlock + 17, 0x5616}};
  for (const auto& c : cases) {
    FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(std::fwrite(data.data(), 1, c.length, file), c.length);
    std::rewind(file);
    Checksum result;
    EXPECT_TRUE(checksum_file(file, &result)) << c.length;
    EXPECT_EQ(result.count, c.length);
    EXPECT_EQ(result.sum, c.sum) << "length " << c.length;
    std::fclose(file);
  }
}

}  // namespace
