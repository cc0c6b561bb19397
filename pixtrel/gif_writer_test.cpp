#include "gif_writer.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "gif_check.h"
#include "run_program.h"
#include "screen.h"

namespace {

const std::string kDescriptor("\x40\x01\xF0\x00\xD3\x00\x00", 7);
const std::string kColourTable(
    "\x00\x00\x00\x00\x00\xBE\xBE\x00\x00\xBE\x00\xBE\x00\xBE\x00\x00\xBE\xBE\xBE\xBE\x00\xAA\xAA\xAA"
    "\x00\x00\x00\x00\x00\xFF\xFF\x00\x00\xFF\x00\xFF\x00\xFF\x00\x00\xFF\xFF\xFF\xFF\x00\xFF\xFF\xFF",
    48);
const std::string kControl("\x21\xF9\x04\x00\x20\x00\x00\x00", 8);

void random_screen(unsigned seed) {
  std::mt19937 random(seed);
  for (uint8_t& b : converter.screen_data) b = random() & 0xFF;
}

TEST(GifWriterTest, StillImageBlocksAndDecodedFrame) {
  TempDir dir;
  random_screen(1);
  const std::string gif = write_screen_gif(dir / "still.gif", false);
  EXPECT_EQ(gif.substr(0, 61), "GIF87a" + kDescriptor + kColourTable);
  EXPECT_EQ(gif[61], '\x2C');
  EXPECT_EQ(gif.back(), '\x3B');
  const DecodedGif decoded = decode_gif(gif);
  ASSERT_EQ(decoded.error, "");
  EXPECT_EQ(decoded.width, 320);
  EXPECT_EQ(decoded.height, 240);
  ASSERT_EQ(decoded.frames.size(), 1u);
  EXPECT_EQ(decoded.frames[0], rendered(0));
  EXPECT_EQ(decoded.extension_blocks, 0);
}

TEST(GifWriterTest, AnimationBlocksAndDecodedFrames) {
  TempDir dir;
  for (unsigned seed : {2u, 3u, 4u}) {
    random_screen(seed);
    const std::string gif = write_screen_gif(dir / "anim.gif", true);
    EXPECT_EQ(gif.substr(0, 61), "GIF89a" + kDescriptor + kColourTable);
    EXPECT_EQ(gif.substr(61, 27),
              std::string("\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00", 19) + kControl);
    EXPECT_EQ(gif.substr(88 + image_at(gif, 88).size(), 8), kControl);
    const DecodedGif decoded = decode_gif(gif);
    ASSERT_EQ(decoded.error, "");
    ASSERT_EQ(decoded.frames.size(), 2u);
    EXPECT_EQ(decoded.frames[0], rendered(0));
    EXPECT_EQ(decoded.frames[1], rendered(1));
    EXPECT_NE(decoded.frames[0], decoded.frames[1]);
    EXPECT_EQ(decoded.delays, (std::vector<int>{32, 32}));
    EXPECT_EQ(decoded.loop_count, 0);
  }
}

}  // namespace
