// Tests of the DSK block readers against hand-made blocks.
#include "dsk_image.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

class DskImageTest : public ::testing::Test {
 protected:
  void SetUp() override { init_program_state(state, Console{nullptr, stdout, stderr}); }
  // Makes `bytes` the image stream the readers take their blocks from.
  void image(const std::string& bytes) {
    FILE* stream = std::tmpfile();
    ASSERT_NE(stream, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), stream);
    std::rewind(stream);
    state.image.stream.adopt(stream);
  }
  std::string track_info(std::uint8_t sector_count, std::uint8_t size_code) {
    std::string block = "Track" + std::string(251, '\0');
    block[0x10] = 7, block[0x11] = 1, block[0x14] = char(size_code), block[0x15] = char(sector_count);
    for (int i = 0; i < sector_count && i < 29; ++i) block[0x1A + 8 * i] = char(0x40 + i);
    return block;
  }
  ProgramState state;
};

TEST_F(DskImageTest, DiskInfoNeedsOnlyItsFirstEightBytes) {
  std::string block = "MV - CPC" + std::string(248, '\xFF');
  block[0x30] = 42, block[0x31] = 2;
  image(block);
  EXPECT_EQ(read_disk_info(state), BlockRead::kTaken);
  EXPECT_EQ(state.geometry.tracks, 42);
  EXPECT_EQ(state.geometry.sides, 2);
  for (size_t i = 0; i < 8; ++i) {
    std::string wrong = block;
    wrong[i] ^= 0x20;
    image(wrong);
    EXPECT_EQ(read_disk_info(state), BlockRead::kRejected) << i;
  }
  image(block.substr(0, 255));
  EXPECT_EQ(read_disk_info(state), BlockRead::kShortRead);
}

TEST_F(DskImageTest, TrackInfoWithinTheLimitsOfTheState) {
  image(track_info(18, 5) + track_info(19, 2) + track_info(9, 6) + track_info(9, 2).substr(0, 200));
  EXPECT_EQ(read_track_info(state), BlockRead::kTaken);
  EXPECT_EQ(state.track_format.track, 7);
  EXPECT_EQ(state.track_format.side, 1);
  EXPECT_EQ(state.track_format.sector_count, 18);
  EXPECT_EQ(state.track_format.sectors[0].sector_id, 0x40);
  EXPECT_EQ(state.track_format.sectors[17].sector_id, 0x40 + 17);
  EXPECT_EQ(read_track_info(state), BlockRead::kRejected);
  EXPECT_EQ(read_track_info(state), BlockRead::kRejected);
  EXPECT_EQ(read_track_info(state), BlockRead::kShortRead);
}

}  // namespace
