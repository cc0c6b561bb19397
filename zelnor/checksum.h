// checksum: the 16-bit rotate-and-XOR checksum of a byte stream, and its length.
//
// For each byte b the sum is rotated right by one bit (bit 0 moves to bit 15)
// and then XORed with b. The empty stream gives 0; "abc" gives 16458 (0x404A).
#ifndef ZELNOR_CHECKSUM_H_
#define ZELNOR_CHECKSUM_H_

#include <cstddef>
#include <cstdint>
#include <cstdio>

// checksum_file reads in blocks of this size: large enough that the calls
// cost nothing, small enough that a block is still in the cache when it is
// summed.
constexpr size_t kReadBlockBytes = size_t{256} << 10;

struct Checksum {
  uint16_t sum = 0;
  uint64_t count = 0;  // bytes summed
};

// Returns the sum after `n` further bytes at `data` have been added to `sum`.
// Equal to the byte-by-byte definition for every input; requires data != nullptr
// when n > 0.
uint16_t checksum_update(uint16_t sum, const uint8_t* data, size_t n);

// Sums the rest of `file` (opened for reading; still owned by the caller) into
// *result, reading it in large blocks. Returns false when a read fails, with
// errno set by the failed read; *result then holds the bytes read before.
[[nodiscard]] bool checksum_file(FILE* file, Checksum* result);

#endif  // ZELNOR_CHECKSUM_H_
