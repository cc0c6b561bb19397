#include "gif_writer.h"

#include <gtest/gtest.h>

#include <random>

#include "gif_check.h"
#include "run_program.h"
#include "screen.h"

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
    EXPECT_EQ(decoded.width * 1000 + decoded.height, 320240);
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
