#include "checksum.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

uint16_t sum_of(const std::string& text, uint16_t start = 0) {
  return checksum_update(start, reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

// The definition, a byte at a time, which checksum_update does not follow: it
// folds bytes 16 apart first, and each length mod 16 and mod 64 takes a path
// of its own.
uint16_t defined_sum(uint16_t sum, const std::vector<uint8_t>& data) {
  for (uint8_t b : data) {
    sum = static_cast<uint16_t>((sum >> 1) | ((sum & 1) << 15));
    sum ^= b;
  }
  return sum;
}

// Sums worked out once, outside this code, from the definition.
TEST(Checksum, WorkedValues) {
  const std::string fox = "The quick brown fox jumps over the lazy dog";
  EXPECT_EQ(sum_of(""), 0);
  EXPECT_EQ(sum_of("a"), 0x61);
  EXPECT_EQ(sum_of("abc"), 16458);  // 0x404A
  EXPECT_EQ(sum_of("abc", 0xBEEF), 0xB797);
  EXPECT_EQ(sum_of(fox), 0xC4A9);
  EXPECT_EQ(sum_of(fox, 0x8001), 0xC499);
  EXPECT_EQ(sum_of(fox + fox), 0x5191);  // 86 bytes: one chunk of 64 and a rest
  std::string bytes_0_to_254;
  for (int b = 0; b < 255; ++b) bytes_0_to_254 += static_cast<char>(b);
  EXPECT_EQ(sum_of(bytes_0_to_254), 0x01FE);
  EXPECT_EQ(sum_of(std::string(1000, '\xFF')), 0xAAAA);
}

TEST(Checksum, FoldedSumEqualsTheDefinitionOnEveryShortLength) {
  std::mt19937 rng(1);
  for (size_t n = 0; n <= 64; n++) {
    std::vector<uint8_t> data(n);
    for (auto& b : data) b = static_cast<uint8_t>(rng());
    for (uint16_t start : {uint16_t{0}, uint16_t{0x8001}, uint16_t{0xBEEF}}) {
      EXPECT_EQ(checksum_update(start, data.data(), n), defined_sum(start, data)) << n << " from " << start;
    }
  }
}

Checksum sum_through_file(const std::vector<uint8_t>& data) {
  FILE* f = std::tmpfile();
  EXPECT_NE(f, nullptr);
  EXPECT_EQ(std::fwrite(data.data(), 1, data.size(), f), data.size());
  std::rewind(f);
  Checksum result;
  EXPECT_TRUE(checksum_file(f, &result));
  std::fclose(f);
  return result;
}

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

TEST(ChecksumFile, WorkedValuesAroundTheReadBlockSize) {
  constexpr size_t kBlock = kReadBlockBytes;
  static_assert(kBlock == 262144, "the sums below were worked out for lengths around 256 KiB");
  const std::vector<uint8_t> data = generated_bytes(2 * kBlock + 17);
  ASSERT_EQ(data[0], 0x41);
  ASSERT_EQ(data[1], 0x96);
  struct { size_t length; uint16_t sum; } cases[] = {
      {kBlock - 1, 0x8319}, {kBlock, 0xC18F}, {kBlock + 1, 0xE070}, {2 * kBlock, 0x9E49}, {2 * kBlock + 17, 0x5616}};
  for (const auto& c : cases) {
    const Checksum result = sum_through_file({data.begin(), data.begin() + static_cast<long>(c.length)});
    EXPECT_EQ(result.count, c.length);
    EXPECT_EQ(result.sum, c.sum) << "length " << c.length;
  }
}

}  // namespace
