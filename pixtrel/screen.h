// screen: the screen dump in memory and its decoding into frames of colour indices.
//
// A screen file is 6912 bytes: a 256 x 192 one-bit bitmap (6144 bytes, lines in
// the interleaved order of the display memory, most significant bit leftmost),
// then 768 attribute bytes, one per 8 x 8 cell, row-major. Attribute bits 0-2
// are the ink, 3-5 the paper, bit 6 BRIGHT (adds 8 to both), bit 7 FLASH.
#ifndef PIXTREL_SCREEN_H_
#define PIXTREL_SCREEN_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>

constexpr int kScreenWidth = 256;
constexpr int kScreenHeight = 192;
constexpr size_t kBitmapBytes = 6144;
constexpr size_t kScreenBytes = 6912;
constexpr size_t kFramePixels = kScreenWidth * kScreenHeight;
constexpr int kScreenColours = 16;

// The converter's program-wide record; one instance, `converter`.
struct ConverterState {
  bool flash_option = false;  // -f or -F was given
  std::array<uint8_t, kScreenBytes> screen_data{};
  std::array<uint8_t, kFramePixels> pixel_frame{};  // pixel (x, y) at y * 256 + x
  bool flash_found = false;  // some attribute has FLASH set (looked for only with -f)
  bool animated = false;     // flash_option && flash_found: a two-frame GIF
};

extern ConverterState converter;

// A colour as 6-bit levels (0 to 63) of red, green and blue.
struct PaletteLevels {
  uint8_t red;
  uint8_t green;
  uint8_t blue;
};

// The sixteen colours of the colour indices 0 to 15 (8 to 15 are BRIGHT).
extern const std::array<PaletteLevels, kScreenColours> screen_palette;

// Reads the screen of `input` into converter.screen_data: the first 6912
// bytes of the file, or the 6912 bytes behind the 128-byte header of a file
// saved by +3DOS as CODE of that length. Returns false when the file is too
// short for them.
[[nodiscard]] bool read_screen(FILE* input);

// Sets converter.flash_found when some attribute byte of screen_data has bit 7
// set; leaves it unchanged otherwise (the caller clears it first).
void scan_for_flash();

// Rewrites all of converter.pixel_frame from converter.screen_data. Phase 0 is
// the normal picture; any other phase swaps ink and paper in FLASH cells.
void render_frame(uint8_t phase);

// The pixel source of the compressor: the colour index at (x, y) of the frame
// rendered last. Requires 0 <= x < 256 and 0 <= y < 192; checks nothing.
inline int16_t frame_pixel(int16_t x, int16_t y) {
  return converter.pixel_frame[y * kScreenWidth + x];
}

#endif  // PIXTREL_SCREEN_H_
