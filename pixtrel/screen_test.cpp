#include "screen.h"

#include <gtest/gtest.h>

#include "run_program.h"

// A file's first 6912 bytes are its screen, unless it begins with the +3DOS header of a 6912-byte CODE file
// ("PLUS3DOS", 0x1A, file type 3 at byte 15, the length at 16 and 17, in byte 127 the sum of the others): a
// header that fails one check is no header. Each case adds `delta` to byte `at` and takes it from byte 126.
TEST(ScreenTest, ReadsTheScreenBehindAPlus3DosHeaderOnly) {
  std::string header =
      std::string("PLUS3DOS\x1A\x01\x00\x80\x1B\x00\x00\x03\x00\x1B", 18) + std::string(109, '\0') + "\x31";
  for (int i = 0; i < 6912; ++i) header += static_cast<char>(i * 7 % 251);
  struct Case { const char* what; size_t at; int delta; size_t size; int screen_at; };  // screen_at -1: no screen
  const Case cases[] = {{"header", 0, 0, 7040, 128}, {"header, 6911 bytes", 0, 0, 7039, -1},
                        {"length 6913", 16, 1, 7040, 0}, {"length 7168", 17, 1, 7040, 0},
                        {"a BASIC program", 15, -3, 7040, 0}, {"0x1B for 0x1A", 8, 1, 7040, 0},
                        {"checksum", 127, 1, 7040, 0}};
  for (const Case& c : cases) {
    std::string file = header.substr(0, c.size);
    file[c.at] = static_cast<char>(file[c.at] + c.delta);
    file[126] = static_cast<char>(file[126] - c.delta);
    FILE* stream = fmemopen(&file[0], file.size(), "rb");
    const bool read = read_screen(stream);
    std::fclose(stream);
    EXPECT_EQ(read, c.screen_at >= 0) << c.what;
    if (!read || c.screen_at < 0) continue;
    const std::string screen(converter.screen_data.begin(), converter.screen_data.end());
    EXPECT_PRED_FORMAT2(SameBytes, screen, file.substr(c.screen_at, 6912)) << c.what;
  }
}
