// Interoperability: libdsk reads the images mobrick writes, and mobrick
// copies an image that dsktrans wrote from a raw dump back into that dump.
#include <gtest/gtest.h>
#include <libdsk.h>

#include <random>
#include <string>

#include "run_program.h"

namespace {

class LibdskTest : public ::testing::Test {
 protected:
  RunResult mobrick(const std::string& input) {
    return run_program(MOBRICK_PATH, {}, RunOptions{dir.path(), input, "", -1});
  }
  // Reads every sector of a 9 x 512 image through libdsk by cylinder, head
  // and ID, in the 'dd' order of two sides of IDs 1 to 9 per track.
  std::string read_with_libdsk(int tracks, int sides, int first_id) {
    DSK_PDRIVER drive = nullptr;
    EXPECT_EQ(dsk_open(&drive, (dir / "default.dsk").c_str(), "dsk", nullptr), DSK_ERR_OK);
    if (drive == nullptr) return "";
    DSK_GEOMETRY geometry{};
    EXPECT_EQ(dg_stdformat(&geometry, FMT_720K, nullptr, nullptr), DSK_ERR_OK);
    geometry.dg_cylinders = tracks, geometry.dg_heads = sides, geometry.dg_secbase = first_id;
    std::string sectors;
    char buffer[512];
    for (int t = 0; t < tracks; ++t) {
      for (int h = 0; h < sides; ++h) {
        for (int i = 0; i < 9; ++i) {
          EXPECT_EQ(dsk_pread(drive, &geometry, buffer, t, h, first_id + i), DSK_ERR_OK) << t << h << i;
          sectors.append(buffer, sizeof buffer);
        }
      }
    }
    dsk_close(&drive);
    return sectors;
  }
  TempDir dir;
};

std::string random_dump() {
  std::mt19937 gen(11);
  std::string bytes(737280, '\0');
  for (char& c : bytes) c = char(gen());
  return bytes;
}

TEST_F(LibdskTest, ReadsFormattedImagesById) {
  struct { const char* key; int tracks, sides, first_id, type; } formats[] = {
      {"d", 40, 1, 0xC1, 2}, {"s", 40, 1, 0x41, 1}, {"v", 80, 2, 1, 3}, {"+", 40, 1, 1, 0}, {"a", 80, 2, 1, 3}};
  for (const auto& f : formats) {
    ASSERT_EQ(mobrick("5\ny\n" + std::string(f.key) + "\no\n6\n").status, 0);
    const std::string sectors = read_with_libdsk(f.tracks, f.sides, f.first_id);
    ASSERT_EQ(sectors.size(), f.tracks * f.sides * 4608u) << f.key;
    EXPECT_EQ(sectors[0], char(f.type)) << f.key;
    EXPECT_EQ(sectors.substr(16), std::string(sectors.size() - 16, char(0xE5))) << f.key;
  }
}

TEST_F(LibdskTest, ReadsACopiedDumpAndItsImageCopiesBack) {
  const std::string dump = random_dump();
  write_file(dir / "image.p3d", dump);
  ASSERT_EQ(mobrick("3\no\n6\n").status, 0);
  EXPECT_TRUE(read_with_libdsk(80, 2, 1) == dump);

  RunResult r = run_program(DSKTRANS_PATH, {"-itype", "raw", "-otype", "dsk", "-format", "pcw720", "image.p3d",
                                            "default.dsk"}, RunOptions{dir.path(), "", "", -1});
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_EQ(mobrick("1\nback\n4\n6\n").status, 0);
  EXPECT_TRUE(read_file(dir / "back") == dump);
}

}  // namespace
