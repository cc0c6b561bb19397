#include "gif_writer.h"

#include <gtest/gtest.h>

#include "run_program.h"

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
    EXPECT_EQ(std::string(bytes, size), "\xFF" + std::string(255, '\x65') + std::string(more ? 2 : 0, '\x01')) << more;
    std::free(bytes);
  }
}

// An unbuffered stream (stdio's lot when it has no memory for a buffer) whose first write fails and whose later ones
// succeed: the colour table is lost where nothing looks at a result, and the close must say so.
TEST(GifWriterTest, AWriteThatFailedEarlyFailsTheClose) {
  TempDir dir;
  ASSERT_EQ(gif_create((dir / "a.gif").c_str(), 320, 240, 16, 6), GIF_OK);
  static int writes = 0;
  const auto write = [](void*, const char*, size_t n) -> ssize_t { return ++writes == 1 ? -1 : n; };
  gif_writer.gif_file.reset(fopencookie(nullptr, "w", {nullptr, write, nullptr, nullptr}));
  ASSERT_EQ(setvbuf(gif_writer.gif_file.get(), nullptr, _IONBF, 0), 0);
  gif_write_globals();
  EXPECT_EQ(gif_compress_image(0), GIF_OK);
  EXPECT_EQ(gif_close(), GIF_ERR_WRITE);
  EXPECT_GT(writes, 1);
}
