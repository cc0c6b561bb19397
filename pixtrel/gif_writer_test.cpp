#include "gif_writer.h"

#include <gtest/gtest.h>

#include <cstdlib>

// 510 codes of 4 bits make 255 bytes 0x65: a full sub-block, written as such only when a further bit follows.
TEST(GifWriterTest, AFullSubBlockIsWrittenOnlyWhenMoreBitsFollow) {
  for (const bool more : {false, true}) {
    char* bytes = nullptr;
    size_t size = 0;
    gif_writer.gif_file.reset(open_memstream(&bytes, &size));
    gif_writer.packer.reset();
    for (int i = 0; i < 510; ++i) ASSERT_EQ(gif_put_code(0x5A5 + i % 2, 4), 4);
    ASSERT_EQ(more ? gif_put_code(1, 1) : 1, 1);
    ASSERT_EQ(gif_flush_block(), 0);
    gif_writer.gif_file.reset();
    EXPECT_EQ(std::string(bytes, size), "\xFF" + std::string(255, '\x65') + (more ? std::string("\x01\x01", 2) : "")) << more;
    std::free(bytes);
  }
}
