#include <gtest/gtest.h>

#include "gif_check.h"
#include "gif_writer.h"
#include "run_program.h"
#include "screen.h"

namespace {

uint32_t crc32(const std::string& data) {
  uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char b : data) {
    crc ^= b;
    for (int k = 0; k < 8; ++k) crc = (crc & 1) ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
  }
  return ~crc;
}

// The image of `gif` from its separator at `start` to its block terminator.
std::string image_at(const std::string& gif, size_t start) {
  size_t p = start + 11;
  while (p < gif.size() && gif[p] != 0) p += static_cast<unsigned char>(gif[p]) + 1;
  return gif.substr(start, p + 1 - start);
}

// The worked values fix the whole code stream: the growth of the code width
// and (second screen) the clear codes, each only after entry 4095.
TEST(LzwTest, WorkedValues) {
  TempDir dir;
  converter.screen_data.fill(0);
  const std::string zero = write_screen_gif(dir / "z.gif", false);
  EXPECT_EQ(zero.size() * 1000 + image_at(zero, 61).size(), 380318u);
  EXPECT_EQ(zero.substr(71, 8), std::string("\x04\xFF\x10\xC8\x49\xAB\xBD\x38", 8));
  for (size_t i = 0; i < kScreenBytes; ++i) converter.screen_data[i] = (i * 151) % 256;
  const std::string phase0 = image_at(write_screen_gif(dir / "s.gif", false), 61);
  EXPECT_EQ(phase0.size() * 0x100000000 + crc32(phase0), 16338 * 0x100000000 + 0x5AF08419);
  const std::string animated = write_screen_gif(dir / "a.gif", true);
  EXPECT_EQ(image_at(animated, 88), phase0);
  EXPECT_EQ(animated.substr(88 + phase0.size(), 8), std::string("\x21\xF9\x04\x00\x20\x00\x00\x00", 8));
  const std::string phase1 = image_at(animated, 88 + phase0.size() + 8);
  EXPECT_EQ(phase1.size() * 0x100000000 + crc32(phase1), 16894 * 0x100000000 + 0xAB9760A2);
}

TEST(LzwTest, FullSubBlocksAreWrittenOnlyWhenMoreBitsFollow) {
  const std::string full = "\xFF" + std::string(255, '\x65');
  for (const std::string& expected : {full, full + std::string("\x01\x01", 2)}) {
    gif_writer.gif_file.reset(std::tmpfile());
    gif_writer.block[0] = gif_writer.block_count = 0;
    gif_writer.block_bits_free = 8;
    for (int i = 0; i < 255 * 2; ++i) ASSERT_EQ(gif_put_code(0x5A5 + i % 2, 4), 4);  // bytes 0x65
    ASSERT_EQ(expected == full ? 1 : gif_put_code(1, 1), 1);
    ASSERT_EQ(gif_flush_block(), 0);
    std::string out(600, '\0');
    std::rewind(gif_writer.gif_file.get());
    out.resize(std::fread(&out[0], 1, out.size(), gif_writer.gif_file.get()));
    EXPECT_EQ(out, expected);
  }
  gif_writer.gif_file.reset();
}

}  // namespace
