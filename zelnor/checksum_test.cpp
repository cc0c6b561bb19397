#include "checksum.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <vector>

namespace {

uint16_t reference_sum(uint16_t sum, const std::vector<uint8_t>& data) {
  for (uint8_t b : data) {
    sum = static_cast<uint16_t>((sum >> 1) | ((sum & 1) << 15));
    sum ^= b;
  }
  return sum;
}

std::vector<uint8_t> random_bytes(std::mt19937& rng, size_t n) {
  std::vector<uint8_t> v(n);
  for (auto& b : v) b = static_cast<uint8_t>(rng());
  return v;
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

TEST(Checksum, MatchesByteLoopOnEveryShortLengthAndOnRandomData) {
  std::mt19937 rng(1);
  for (size_t n = 0; n <= 64; n++) {
    const auto data = random_bytes(rng, n);
    for (uint16_t start : {uint16_t{0}, uint16_t{0x8001}, uint16_t{0xBEEF}}) {
      EXPECT_EQ(checksum_update(start, data.data(), n), reference_sum(start, data)) << n;
    }
  }
  for (int round = 0; round < 20; round++) {
    const auto data = random_bytes(rng, rng() % 5000);
    EXPECT_EQ(checksum_update(0, data.data(), data.size()), reference_sum(0, data));
  }
}

TEST(ChecksumFile, MatchesByteLoopAroundTheReadBlockSize) {
  constexpr size_t kBlock = kReadBlockBytes;
  std::mt19937 rng(3);
  const auto data = random_bytes(rng, 2 * kBlock + 17);
  for (size_t n : {kBlock - 1, kBlock, kBlock + 1, 2 * kBlock, 2 * kBlock + 17}) {
    const std::vector<uint8_t> part(data.begin(), data.begin() + static_cast<long>(n));
    const Checksum result = sum_through_file(part);
    EXPECT_EQ(result.count, n);
    EXPECT_EQ(result.sum, reference_sum(0, part)) << "length " << n;
  }
}

}  // namespace
