#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gif_check.h"
#include "gif_writer.h"
#include "run_program.h"
#include "screen.h"

namespace {

uint32_t crc32(const std::string& data) {
  uint32_t table[256];
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t c = i;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[i] = c;
  }
  uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char b : data) crc = table[(crc ^ b) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

void fill_mod151() {
  for (size_t i = 0; i < kScreenBytes; ++i) converter.screen_data[i] = (i * 151) % 256;
}

// Reads the codes of an image as a decoder does, with their widths; the
// width grows when the decoder's next entry reaches 2^width.
std::vector<std::pair<int, int>> read_codes(const std::string& image) {
  std::string data;
  for (size_t p = 11; image[p] != 0; p += static_cast<unsigned char>(image[p]) + 1) {
    data += image.substr(p + 1, static_cast<unsigned char>(image[p]));
  }
  std::vector<std::pair<int, int>> codes;
  int width = 5, next = 18;
  bool first = true;
  for (size_t bit = 0; bit + width <= data.size() * 8;) {
    int code = 0;
    for (int k = 0; k < width; ++k, ++bit) code |= ((data[bit / 8] >> (bit % 8)) & 1) << k;
    codes.push_back({code, width});
    if (code == 17) break;
    if (code == 16) { width = 5, next = 18, first = true; continue; }
    if (!first && next < 4096 && ++next == (1 << width) && width < 12) ++width;
    first = false;
  }
  return codes;
}

TEST(LzwTest, WorkedValues) {
  TempDir dir;
  converter.screen_data.fill(0);
  const std::string zero = write_screen_gif(dir / "z.gif", false);
  ASSERT_EQ(zero.size(), 380u);
  EXPECT_EQ(image_at(zero, 61).size(), 318u);
  EXPECT_EQ(zero.substr(71, 8), std::string("\x04\xFF\x10\xC8\x49\xAB\xBD\x38", 8));

  fill_mod151();
  const std::string still = write_screen_gif(dir / "s.gif", false);
  const std::string phase0 = image_at(still, 61);
  EXPECT_EQ(phase0.size(), 16338u);
  EXPECT_EQ(crc32(phase0), 0x5AF08419u);
  const std::string animated = write_screen_gif(dir / "a.gif", true);
  EXPECT_EQ(image_at(animated, 88), phase0);
  const std::string phase1 = image_at(animated, 88 + phase0.size() + 8);
  EXPECT_EQ(phase1.size(), 16894u);
  EXPECT_EQ(crc32(phase1), 0xAB9760A2u);
}

TEST(LzwTest, ClearCodeOnlyWhenTheDictionaryIsFull) {
  TempDir dir;
  fill_mod151();
  const auto codes = read_codes(image_at(write_screen_gif(dir / "s.gif", false), 61));
  std::vector<size_t> clears;
  for (size_t i = 0; i < codes.size(); ++i) {
    if (codes[i].first == 16) clears.push_back(i);
  }
  ASSERT_EQ(clears, (std::vector<size_t>{0, 4080, 8160}));
  for (size_t i : {size_t{4080}, size_t{8160}}) {
    EXPECT_EQ(codes[i - 1].second, 12);
    EXPECT_EQ(codes[i].second, 12);
    EXPECT_EQ(codes[i + 1].second, 5);
  }
  EXPECT_EQ(codes.back().first, 17);
}

TEST(LzwTest, FullSubBlocksAreWrittenOnlyWhenMoreBitsFollow) {
  for (int extra_bits : {0, 1}) {
    gif_writer.gif_file.reset(std::tmpfile());
    gif_writer.block_count = 0;
    gif_writer.block_bits_free = 8;
    gif_writer.block[0] = 0;
    for (int i = 0; i < 255 * 2; ++i) ASSERT_EQ(gif_put_code(0x5A5 + i % 2, 4), 4);
    if (extra_bits) {
      EXPECT_EQ(gif_put_code(1, 1), 1);
    }
    ASSERT_EQ(gif_flush_block(), 0);
    std::string out(600, '\0');
    std::rewind(gif_writer.gif_file.get());
    out.resize(std::fread(&out[0], 1, out.size(), gif_writer.gif_file.get()));
    const std::string full = "\xFF" + std::string(255, '\x65');
    EXPECT_EQ(out, extra_bits ? full + std::string("\x01\x01", 2) : full);
  }
  gif_writer.gif_file.reset();
}

}  // namespace
