// sample_screen: writes a sample screen dump for the demo: colour bars,
// a diagonal grid and two rows of FLASHing cells.
#include <array>
#include <cstdint>
#include <cstdio>

#include "screen.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: sample_screen OUTPUT.scr\n", stderr);
    return 1;
  }
  std::array<uint8_t, kScreenBytes> screen{};
  for (int y = 0; y < kScreenHeight; ++y) {
    const int line = (y / 64) * 2048 + (y % 8) * 256 + ((y / 8) % 8) * 32;
    for (int x = 0; x < kScreenWidth; ++x) {
      if ((x + y) % 16 == 0 || (x - y + 256) % 16 == 0 || y % 32 == 0) {
        screen[line + x / 8] |= 0x80 >> (x % 8);
      }
    }
  }
  for (int row = 0; row < 24; ++row) {
    for (int column = 0; column < 32; ++column) {
      const int paper = column / 4;
      uint8_t attribute = static_cast<uint8_t>(paper << 3 | (7 - paper));
      if (row >= 12) attribute |= 0x40;              // BRIGHT in the lower half
      if (row == 5 || row == 18) attribute |= 0x80;  // FLASH
      screen[kBitmapBytes + row * 32 + column] = attribute;
    }
  }
  FILE* out = std::fopen(argv[1], "wb");
  if (!out) {
    std::perror(argv[1]);
    return 1;
  }
  const bool written = std::fwrite(screen.data(), 1, screen.size(), out) == screen.size();
  if (std::fclose(out) != 0 || !written) {
    std::perror(argv[1]);
    return 1;
  }
  return 0;
}
