// Interoperability with libdsk: it reads, by cylinder, head and sector ID,
// the images mobrick writes; mobrick copies an image that dsktrans wrote from
// a raw dump back into that dump.
#include <cstddef>  // libdsk.h needs size_t declared first

#include <libdsk.h>

#include "test_images.h"

namespace {

// Every sector of a 9 x 512 image read through libdsk, in 'dd' order.
std::string read_with_libdsk(const std::string& path, int tracks, int sides, int first_id) {
  DSK_PDRIVER drive = nullptr;
  DSK_GEOMETRY geometry{};
  if (dsk_open(&drive, path.c_str(), "dsk", nullptr) != DSK_ERR_OK) return "not opened";
  EXPECT_EQ(dg_stdformat(&geometry, FMT_720K, nullptr, nullptr), DSK_ERR_OK);
  geometry.dg_cylinders = tracks, geometry.dg_heads = sides, geometry.dg_secbase = first_id;
  std::string sectors;
  char buffer[512];
  for (int t = 0; t < tracks; ++t) {
    for (int h = 0; h < sides; ++h) {
      for (int id = first_id; id < first_id + 9; ++id) {
        EXPECT_EQ(dsk_pread(drive, &geometry, buffer, t, h, id), DSK_ERR_OK) << t << h << id;
        sectors.append(buffer, sizeof buffer);
      }
    }
  }
  dsk_close(&drive);
  return sectors;
}

using LibdskTest = MobrickTest;

TEST_F(LibdskTest, ReadsFormattedImagesById) {
  struct { const char* key; int tracks, sides, first_id, type; } formats[] = {
      {"d", 40, 1, 0xC1, 2}, {"s", 40, 1, 0x41, 1}, {"v", 80, 2, 1, 3}, {"+", 40, 1, 1, 0}, {"a", 80, 2, 1, 3}};
  for (const auto& f : formats) {
    ASSERT_EQ(mobrick("5\ny\n" + std::string(f.key) + "\no\n6\n").status, 0);
    const std::string sectors = read_with_libdsk(dir / "default.dsk", f.tracks, f.sides, f.first_id);
    ASSERT_EQ(sectors.size(), f.tracks * f.sides * 4608u) << f.key;
    EXPECT_EQ(sectors[0], char(f.type)) << f.key;
    EXPECT_EQ(sectors.substr(16), std::string(sectors.size() - 16, char(0xE5))) << f.key;
  }
}

TEST_F(LibdskTest, ReadsACopiedDumpAndItsImageCopiesBack) {
  const std::string dump = random_bytes(737280);
  write_file(dir / "image.p3d", dump);
  ASSERT_EQ(mobrick("3\no\n6\n").status, 0);
  EXPECT_PRED_FORMAT2(SameBytes, read_with_libdsk(dir / "default.dsk", 80, 2, 1), dump);

  RunResult r = run_program(DSKTRANS_PATH, {"-itype", "raw", "-otype", "dsk", "-format", "pcw720", "image.p3d",
                                            "default.dsk"}, RunOptions{dir.path(), "", "", -1});
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_EQ(mobrick("1\nback\n4\n6\n").status, 0);
  EXPECT_PRED_FORMAT2(SameBytes, file("back"), dump);
}

}  // namespace
