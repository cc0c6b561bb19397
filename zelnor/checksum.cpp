#include "checksum.h"

#include <array>
#include <cassert>
#include <cstring>

namespace {

// The rotation has period 16, so byte i of an n-byte run ends up rotated
// right by (n - 1 - i) mod 16: bytes 16 apart can be XORed together first.
constexpr size_t kLanes = 16;
constexpr size_t kChunkBytes = 64;

uint16_t rotate_right(uint16_t v, unsigned k) {
  k &= 15;
  if (k == 0) return v;
  return static_cast<uint16_t>((v >> k) | (v << (16 - k)));
}

uint64_t load64(const uint8_t* p) {
  uint64_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

}  // namespace

uint16_t checksum_update(uint16_t sum, const uint8_t* data, size_t n) {
  assert(data != nullptr || n == 0);
  // lanes[k] is the XOR of the bytes whose offset from `data` is k mod 16.
  uint64_t a0 = 0, a1 = 0, a2 = 0, a3 = 0, a4 = 0, a5 = 0, a6 = 0, a7 = 0;
  size_t i = 0;
  for (; i + kChunkBytes <= n; i += kChunkBytes) {
    const uint8_t* p = data + i;
    a0 ^= load64(p);
    a1 ^= load64(p + 8);
    a2 ^= load64(p + 16);
    a3 ^= load64(p + 24);
    a4 ^= load64(p + 32);
    a5 ^= load64(p + 40);
    a6 ^= load64(p + 48);
    a7 ^= load64(p + 56);
  }
  const uint64_t low = a0 ^ a2 ^ a4 ^ a6;
  const uint64_t high = a1 ^ a3 ^ a5 ^ a7;
  std::array<uint8_t, kLanes> lanes;
  std::memcpy(lanes.data(), &low, 8);
  std::memcpy(lanes.data() + 8, &high, 8);
  for (; i < n; i++) lanes[i % kLanes] ^= data[i];

  uint16_t result = rotate_right(sum, static_cast<unsigned>(n % kLanes));
  for (size_t k = 0; k < kLanes; k++) {
    // (n - 1 - k) mod 16, computed without going below zero.
    const unsigned shift = static_cast<unsigned>((n + kLanes - 1 - k) % kLanes);
    result ^= rotate_right(lanes[k], shift);
  }
  return result;
}

bool checksum_file(FILE* file, Checksum* result) {
  assert(file != nullptr && result != nullptr);
  static std::array<uint8_t, kReadBlockBytes> block;
  for (;;) {
    const size_t got = std::fread(block.data(), 1, block.size(), file);
    result->sum = checksum_update(result->sum, block.data(), got);
    result->count += got;
    if (got < block.size()) return !std::ferror(file);
  }
}
