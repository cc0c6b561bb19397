#include "screen.h"

#include <cstdio>
#include <cstring>

ConverterState converter;

const std::array<PaletteLevels, kScreenColours> screen_palette = {{
    {0x00, 0x00, 0x00}, {0x00, 0x00, 0x2F}, {0x2F, 0x00, 0x00}, {0x2F, 0x00, 0x2F},
    {0x00, 0x2F, 0x00}, {0x00, 0x2F, 0x2F}, {0x2F, 0x2F, 0x00}, {0x2A, 0x2A, 0x2A},
    {0x00, 0x00, 0x00}, {0x00, 0x00, 0x3F}, {0x3F, 0x00, 0x00}, {0x3F, 0x00, 0x3F},
    {0x00, 0x3F, 0x00}, {0x00, 0x3F, 0x3F}, {0x3F, 0x3F, 0x00}, {0x3F, 0x3F, 0x3F},
}};

namespace {

constexpr int kColumns = 32;        // cells, and bitmap bytes, per line
constexpr int kThirds = 3;          // the bitmap is three blocks of 64 lines
constexpr int kThirdBytes = 2048;
constexpr int kLineStride = 256;    // next pixel line within a character row
constexpr uint8_t kFlashBit = 0x80;
constexpr uint8_t kBrightBit = 0x40;
constexpr uint64_t kEveryByte = 0x0101010101010101;

// The eight pixels of a bitmap byte as bytes in display order: 0xFF where
// its bit is set, most significant bit first. Loaded whole into a 64-bit word,
// the bytes keep their memory order on any host, since only bytewise
// operations follow.
struct alignas(8) PixelMask {
  uint8_t pixel[8];
};

constexpr std::array<PixelMask, 256> spread_bits() {
  std::array<PixelMask, 256> table{};
  for (int value = 0; value < 256; ++value) {
    for (int pixel = 0; pixel < 8; ++pixel) {
      table[value].pixel[pixel] = (value & (0x80 >> pixel)) ? 0xFF : 0x00;
    }
  }
  return table;
}
constexpr std::array<PixelMask, 256> kSpreadBits = spread_bits();

// A file saved by +3DOS begins with a 128-byte header: "PLUS3DOS", 0x1A,
// issue and version bytes, the file length (4 bytes), then the BASIC header
// (byte 15 the file type, 3 for CODE; bytes 16 and 17 the data length, low
// byte first); byte 127 is the sum of bytes 0 to 126, modulo 256.
constexpr size_t kPlus3HeaderBytes = 128;
constexpr char kPlus3Signature[] = "PLUS3DOS\x1A";
constexpr size_t kPlus3FileType = 15;
constexpr uint8_t kPlus3CodeFile = 3;
constexpr size_t kPlus3DataLength = 16;
constexpr size_t kPlus3Checksum = 127;

bool is_plus3_screen_header(const uint8_t* header) {
  if (std::memcmp(header, kPlus3Signature, sizeof kPlus3Signature - 1) != 0) return false;
  if (header[kPlus3FileType] != kPlus3CodeFile) return false;
  if (header[kPlus3DataLength] + 256u * header[kPlus3DataLength + 1] != kScreenBytes) return false;
  unsigned sum = 0;
  for (size_t i = 0; i < kPlus3Checksum; ++i) sum += header[i];
  return (sum & 0xFF) == header[kPlus3Checksum];
}

}  // namespace

bool read_screen(FILE* input) {
  static std::array<uint8_t, kPlus3HeaderBytes + kScreenBytes> file_bytes;
  const size_t got = std::fread(file_bytes.data(), 1, file_bytes.size(), input);
  size_t start = 0;
  if (got >= kPlus3HeaderBytes && is_plus3_screen_header(file_bytes.data())) start = kPlus3HeaderBytes;
  if (got < start + kScreenBytes) return false;
  std::memcpy(converter.screen_data.data(), &file_bytes[start], kScreenBytes);
  return true;
}

void scan_for_flash() {
  for (size_t i = kBitmapBytes; i < kScreenBytes; ++i) {
    if (converter.screen_data[i] & kFlashBit) {
      converter.flash_found = true;
      return;
    }
  }
}

void render_frame(uint8_t phase) {
  const uint8_t* screen = converter.screen_data.data();
  uint8_t* out = converter.pixel_frame.data();
  for (int third = 0; third < kThirds; ++third) {
    for (int row = 0; row < 8; ++row) {
      const uint8_t* attributes = screen + kBitmapBytes + (third * 8 + row) * kColumns;
      for (int line = 0; line < 8; ++line) {
        const uint8_t* bitmap = screen + third * kThirdBytes + line * kLineStride + row * kColumns;
        for (int column = 0; column < kColumns; ++column) {
          const uint8_t attribute = attributes[column];
          // Bits 3-6 shifted down are the paper colour plus 8 when BRIGHT.
          uint8_t ink = (attribute & 0x07) + ((attribute & kBrightBit) ? 8 : 0);
          uint8_t paper = (attribute & 0x78) >> 3;
          if (phase != 0 && (attribute & kFlashBit)) {
            const uint8_t swap = ink;
            ink = paper;
            paper = swap;
          }
          // Eight pixels at once: the byte's bits spread to 0xFF/0x00 bytes, leftmost first.
          uint64_t ink_mask;
          std::memcpy(&ink_mask, kSpreadBits[bitmap[column]].pixel, 8);
          const uint64_t pixels = (ink * kEveryByte & ink_mask) | (paper * kEveryByte & ~ink_mask);
          std::memcpy(out, &pixels, 8);
          out += 8;
        }
      }
    }
  }
}
