#include "gif_writer.h"

#include <gtest/gtest.h>

#include <random>

#include "gif_check.h"
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
TEST(GifWriterTest, WorkedValues) {
  TempDir dir;
  converter.screen_data.fill(0);
  const std::string zero = write_screen_gif(dir / "z.gif", false);
  EXPECT_EQ(zero.size(), 380u);
  EXPECT_EQ(image_at(zero, 61).size(), 318u);
  EXPECT_EQ(zero.substr(71, 8), std::string("\x04\xFF\x10\xC8\x49\xAB\xBD\x38", 8));
  for (size_t i = 0; i < kScreenBytes; ++i) converter.screen_data[i] = (i * 151) % 256;
  const std::string phase0 = image_at(write_screen_gif(dir / "s.gif", false), 61);
  EXPECT_EQ(phase0.size(), 16338u);
  EXPECT_EQ(crc32(phase0), 0x5AF08419u);
  const std::string animated = write_screen_gif(dir / "a.gif", true);
  EXPECT_EQ(image_at(animated, 88), phase0);
  EXPECT_EQ(animated.substr(88 + phase0.size(), 8), std::string("\x21\xF9\x04\x00\x20\x00\x00\x00", 8));
  const std::string phase1 = image_at(animated, 88 + phase0.size() + 8);
  EXPECT_EQ(phase1.size(), 16894u);
  EXPECT_EQ(crc32(phase1), 0xAB9760A2u);
}

TEST(GifWriterTest, FullSubBlocksAreWrittenOnlyWhenMoreBitsFollow) {
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

// Random screens fill the dictionary several times per frame, and their
// attributes hold FLASH bits.
TEST(GifWriterTest, BlocksAndFramesOfStillAndAnimatedFiles) {
  const std::string header = std::string("\x40\x01\xF0\x00\xD3\x00\x00", 7) +
      std::string("\0\0\0\0\0\xBE\xBE\0\0\xBE\0\xBE\0\xBE\0\0\xBE\xBE\xBE\xBE\0\xAA\xAA\xAA"
                  "\0\0\0\0\0\xFF\xFF\0\0\xFF\0\xFF\0\xFF\0\0\xFF\xFF\xFF\xFF\0\xFF\xFF\xFF", 48);
  TempDir dir;
  std::mt19937 random(1);
  for (bool animated : {false, true, false, true}) {
    for (uint8_t& b : converter.screen_data) b = random() & 0xFF;
    const std::string gif = write_screen_gif(dir / "out.gif", animated);
    EXPECT_EQ(gif.substr(0, 61), (animated ? "GIF89a" : "GIF87a") + header);
    EXPECT_EQ(gif.substr(61, animated ? 27 : 1), animated ? std::string("\x21\xFF\x0BNETSCAPE2.0\x03\x01\0\0\0"
                                                                        "\x21\xF9\x04\0\x20\0\0\0", 27) : "\x2C");
    EXPECT_EQ(gif.back(), '\x3B');
    const DecodedGif decoded = decode_gif(gif);
    ASSERT_EQ(decoded.error, "");
    EXPECT_EQ(decoded.width, 320);
    EXPECT_EQ(decoded.height, 240);
    EXPECT_EQ(decoded.extensions, animated ? 4 : 0);  // giflib keeps the loop extension as two blocks
    ASSERT_EQ(decoded.frames.size(), animated ? 2u : 1u);
    EXPECT_EQ(decoded.frames[0], rendered(0));
    if (animated) {
      EXPECT_EQ(decoded.frames[1], rendered(1));
      EXPECT_NE(decoded.frames[0], decoded.frames[1]);
      EXPECT_EQ(decoded.delays, (std::vector<int>{32, 32}));
    }
  }
}

}  // namespace
