// End-to-end tests of the mobrick program: dialogues through standard input.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "run_program.h"

namespace {

const std::string kBanner =
    "\n\nMOBRICK v0.2\n(Transfer CPC/+3/PCW-disks to disk-images and vice versa)\n"
    "(and make newly formatted disks)";
const std::string kMenu =
    "\n\n1) Set 'dd' file\n2) Set Image file\n3) Copy 'dd' file -> Image\n4) Copy Image -> 'dd' file\n"
    "5) Format disk\n6) Quit\n\nYour choice: ";
const std::string kFailed = "Operation terminated incorrectly.\n";
constexpr size_t kTrackBytes = 4864;

// One track block as the DSK layout has it: Track-Info, then the sectors.
std::string track_block(int track, int side, int size_code, const std::vector<int>& ids, const std::string& data) {
  std::string block(256, '\0');
  block.replace(0, 12, "Track-Info\r\n");
  block[0x10] = char(track), block[0x11] = char(side), block[0x14] = char(size_code);
  block[0x15] = char(ids.size()), block[0x16] = 0x4E, block[0x17] = char(0xE5);
  for (size_t i = 0; i < ids.size() && i < 29; ++i) {
    block[0x18 + 8 * i] = char(track), block[0x19 + 8 * i] = char(side);
    block[0x1A + 8 * i] = char(ids[i]), block[0x1B + 8 * i] = char(size_code);
  }
  return block + data;
}

std::string disk_info(int tracks, int sides) {
  std::string block(256, '\0');
  block.replace(0, 34, "MV - CPCEMU Disk-File\r\nDisk-Info\r\n");
  block[0x30] = char(tracks), block[0x31] = char(sides), block[0x33] = 0x13;
  return block;
}

// A 9 x 512 image whose track t side h holds `data` at (2t + h) x 4608
// ('dd' layout), or formatted data when `data` is empty.
std::string expected_image(int tracks, int sides, int first_id, const std::string& spec, const std::string& data = "") {
  std::string image = disk_info(tracks, sides);
  std::vector<int> ids;
  for (int i = 0; i < 9; ++i) ids.push_back(first_id + i);
  for (int t = 0; t < tracks; ++t) {
    for (int h = 0; h < sides; ++h) {
      std::string sectors = data.empty() ? std::string(4608, char(0xE5)) : data.substr((2 * t + h) * 4608, 4608);
      if (t == 0 && h == 0 && data.empty()) sectors.replace(0, 16, spec);
      image += track_block(t, h, 2, ids, sectors);
    }
  }
  return image;
}

std::string spec(std::vector<int> head) {
  std::string s(16, '\0');
  for (size_t i = 0; i < head.size(); ++i) s[i] = char(head[i]);
  return s;
}

std::string random_bytes(size_t size) {
  std::mt19937 gen(7);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = char(gen());
  return bytes;
}

class MobrickTest : public ::testing::Test {
 protected:
  RunResult mobrick(const std::string& input, int64_t file_size_limit = -1) {
    return run_program(MOBRICK_PATH, {}, RunOptions{dir.path(), input, "", file_size_limit});
  }
  std::string file(const std::string& name) { return read_file(dir / name); }
  TempDir dir;
};

TEST_F(MobrickTest, MenuAnswersAndNames) {
  RunResult r = mobrick("7\n\nx\n2\ndisk\n2\ndisk.img\n2\n../disk\n2\n\n1\n/dev/fd0\n4x\n2\n" +
                        std::string(85, 'a') + "\n6\n");
  const std::string name = "New image file (without .dsk) : ";
  const std::string bad = " only 1-6 : ";
  EXPECT_EQ(r.out, kBanner + kMenu + bad + kMenu + bad + kMenu + bad + kMenu + name + "Image file set to disk.dsk\n" +
                       kMenu + name + "Image file set to disk.img\n" + kMenu + name + "Image file set to ../disk\n" +
                       kMenu + name + "Image file set to .dsk\n" + kMenu + "filename of 'dd' image: " + kMenu +
                       "Copy Image -> 'dd' file\nreading from image file .dsk\n" + kMenu + name +
                       "Image file set to " + std::string(79, 'a') + ".dsk\n" + kMenu + bad + kMenu);
  EXPECT_EQ(r.err, "error opening .dsk\n");
  EXPECT_EQ(r.status, 0);
}

TEST_F(MobrickTest, EndOfInputQuitsAtMenuAndFailsAtPrompts) {
  EXPECT_EQ(mobrick("").status, 0);
  EXPECT_EQ(mobrick("1\n").status, 1);
  write_file(dir / "default.dsk", "old");
  write_file(dir / "image.p3d", std::string(737280, 'x'));
  const std::string question = "Overwrite (y/n) ? ", format_prompt = "m)odify; o)k\nYour choice: ";
  for (auto [input, prompt] : {std::pair{"5\n", question}, {"3\n", question}, {"5\ny\nd\n", format_prompt},
                               {"3\ny\nv\n", format_prompt}}) {
    RunResult r = mobrick(input);
    EXPECT_EQ(r.status, 1) << input;
    EXPECT_EQ(r.out.substr(r.out.size() - prompt.size()), prompt) << input;
  }
  EXPECT_EQ(file("default.dsk"), "");  // the last two emptied it before the format dialogue
}

TEST_F(MobrickTest, FormatsAllFive) {
  const std::string data = spec({2, 0, 0x28, 9, 2, 0, 3, 2, 0x2A, 0x52});
  const std::string system = spec({1, 0, 0x28, 9, 2, 2, 3, 2, 0x2A, 0x52});
  const std::string plus3 = spec({0, 0, 0x28, 9, 2, 1, 3, 2, 0x2A, 0x52});
  const std::string pcw = spec({3, 1, 0x50, 9, 2, 1, 4, 4, 0x2A, 0x52});
  struct { const char* keys; std::string image; } cases[] = {
      {"o", expected_image(40, 1, 0xC1, data)},       {"a\nS\no", expected_image(40, 1, 0x41, system)},
      {"V\nOk", expected_image(80, 2, 1, pcw)},       {"m\n0\n+\no", expected_image(40, 1, 1, plus3)},
      {"d\na\no", expected_image(80, 2, 1, pcw)},
  };
  for (const auto& c : cases) {
    RunResult r = mobrick("5\ny\n" + std::string(c.keys) + "\n6\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(file("default.dsk") == c.image) << c.keys;
  }
  RunResult r = mobrick("2\nd\n5\no\n6\n");
  std::string progress;
  for (int t = 0; t < 40; ++t) progress += "\rFormatting track " + std::to_string(t) + "  head 0 ...  ";
  EXPECT_EQ(r.out, kBanner + kMenu + "New image file (without .dsk) : Image file set to d.dsk\n" + kMenu +
                       "formatting image file d.dsk\nSelect format :\nd)ata 9x512x40x1; s)ystem 9x512x40x1;"
                       "v)ortex 9x512x80x2;\n+)3 dos 9x512x40x1; a)mstrad PCW 9x512x80x2;\nm)odify; o)k\n"
                       "Your choice: Ok.\n" + progress + "formatting ok.\n" + kMenu);
}

TEST_F(MobrickTest, FormatKeepsDeclinedImageAndReportsFullDisk) {
  write_file(dir / "default.dsk", "old");
  RunResult r = mobrick("5\nn\n6\n");
  EXPECT_EQ(r.out, kBanner + kMenu + "formatting image file default.dsk\nfile already exist. Overwrite (y/n) ? " + kMenu);
  EXPECT_EQ(file("default.dsk"), "old");
  // The first limit fails in a write, the second only when the image is closed.
  for (int64_t limit : {100000, 194816 - 100}) {
    r = mobrick("5\ny\no\n6\n", limit);
    EXPECT_EQ(r.err, "error fwrite()\n") << limit;
    EXPECT_NE(r.out.find("  " + kFailed + kMenu), std::string::npos) << limit;
    EXPECT_EQ(r.out.find("formatting ok."), std::string::npos) << limit;
    EXPECT_EQ(r.status, 0);
  }
}

TEST_F(MobrickTest, RoundTripOfAFullDump) {
  const std::string dump = random_bytes(737280);
  write_file(dir / "image.p3d", dump);
  RunResult r = mobrick("3\no\n1\nback\n4\n6\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_NE(r.out.find("Ok.\n\rLoading track 0  head 0 ...  \rLoading track 0  head 1"), std::string::npos);
  EXPECT_NE(r.out.find("\rLoading track 79  head 1 ...  transfer ok.\n"), std::string::npos);
  EXPECT_NE(r.out.find("writing to 'dd' file back ...\n\rSaving track 0  head 0 ...  "), std::string::npos);
  EXPECT_NE(r.out.find("\rSaving track 79  head 1 ...  transfer ok.\n"), std::string::npos);
  EXPECT_TRUE(file("default.dsk") == expected_image(80, 2, 1, "", dump));
  EXPECT_TRUE(file("back") == dump);
}

TEST_F(MobrickTest, ShortDumpEndsAtFirstMissingSlot) {
  const std::string dump = random_bytes(10000);
  write_file(dir / "image.p3d", dump);
  RunResult r = mobrick("3\no\n6\n");
  EXPECT_EQ(r.err, "error in read\n");
  EXPECT_EQ(r.status, 1);
  // Disk-Info, two whole track blocks, the third Track-Info and one sector.
  EXPECT_EQ(file("default.dsk"), expected_image(80, 2, 1, "", dump + std::string(737280 - 10000, 0)).substr(0, 10752));
}

TEST_F(MobrickTest, MissingFiles) {
  RunResult r = mobrick("3\n6\n");
  EXPECT_EQ(r.err, "error: can't open image.p3d\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_FALSE(file_exists(dir / "default.dsk"));

  write_file(dir / "image.p3d", "keep");
  r = mobrick("4\n6\n");
  EXPECT_EQ(r.err, "error opening default.dsk\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(file("image.p3d"), "keep");

  write_file(dir / "default.dsk", disk_info(0, 0));
  r = mobrick("1\nno/dir\n4\n6\n");
  EXPECT_EQ(r.err, "error: can't open no/dir\n");
  EXPECT_EQ(r.status, 1);
}

TEST_F(MobrickTest, RefusedImagesLeaveTheDdFileOrStopAtTheBadBlock) {
  const std::vector<int> ids{1, 2, 3, 4, 5, 6, 7, 8, 9};
  const std::string t0 = track_block(0, 0, 2, ids, std::string(4608, 'a'));
  struct { std::string image; std::string err; bool dd_kept; } cases[] = {
      {"MV - CPX" + disk_info(1, 1).substr(8), "", true},
      {disk_info(1, 1).substr(0, 255), "error fread()\n", true},
      {disk_info(2, 1) + t0 + track_block(0, 1, 2, ids, std::string(4608, 'b')), "", false},
      {disk_info(1, 2) + t0 + track_block(1, 0, 2, ids, std::string(4608, 'b')), "", false},
      {disk_info(1, 1) + track_block(0, 0, 2, std::vector<int>(19, 1), std::string(19 * 512, 'a')), "", false},
      {disk_info(1, 1) + track_block(0, 0, 6, {1}, std::string(8192, 'a')), "", false},
      {disk_info(1, 1) + "Trace" + t0.substr(5), "", false},
      {disk_info(1, 1) + t0.substr(0, 4000), "error fread()\n", false},
  };
  for (const auto& c : cases) {
    write_file(dir / "default.dsk", c.image);
    write_file(dir / "image.p3d", "keep");
    RunResult r = mobrick("4\n6\n");
    EXPECT_EQ(r.err, c.err);
    EXPECT_NE(r.out.find(kFailed + kMenu), std::string::npos);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(file("image.p3d").substr(0, 4) == "keep", c.dd_kept) << r.out;
  }
  write_file(dir / "default.dsk", "MV - CPC" + std::string(300, '\0'));
  EXPECT_NE(mobrick("4\n6\n").out.find("...\ntransfer ok.\n"), std::string::npos);
  EXPECT_EQ(file("image.p3d"), "");
}

TEST_F(MobrickTest, SectorsGoToTheSlotsOfTheirIds) {
  // Track 0 interleaved, 512 bytes; track 1 of 256-byte sectors, whose slots
  // end in zeros rather than in what the sector before left.
  std::string t0, t1;
  const std::vector<int> interleaved{1, 6, 2, 7, 3, 8, 4, 9, 5}, ids{1, 2, 3, 4, 5, 6, 7, 8, 9};
  for (int id : interleaved) t0 += std::string(512, char('A' + id));
  for (int id : ids) t1 += std::string(256, char('a' + id));
  write_file(dir / "default.dsk", disk_info(2, 1) + track_block(0, 0, 2, interleaved, t0) + track_block(1, 0, 1, ids, t1));
  EXPECT_EQ(mobrick("4\n6\n").status, 0);
  std::string dd = file("image.p3d");
  ASSERT_EQ(dd.size(), 27u * 512);
  for (int id = 1; id <= 9; ++id) {
    EXPECT_EQ(dd.substr((id - 1) * 512, 512), std::string(512, char('A' + id)));
    EXPECT_EQ(dd.substr(9 * 512 + (id - 1) * 512, 512), std::string(512, '\0'));
    EXPECT_EQ(dd.substr(18 * 512 + (id - 1) * 512, 512), std::string(256, char('a' + id)) + std::string(256, '\0'));
  }
  // A formatted DATA disk (IDs 0xC1 to 0xC9) and a +3 disk (IDs 1 to 9).
  mobrick("5\ny\no\n4\n6\n");
  dd = file("image.p3d");
  EXPECT_EQ(dd.size(), 462336u);
  EXPECT_EQ(dd.substr(98304 - 1, 3), std::string("\0\x02\0", 3));
  mobrick("5\ny\n+\no\n4\n6\n");
  EXPECT_EQ(file("image.p3d").size(), 364032u);
}

TEST_F(MobrickTest, FailedDdWritesAreFatal) {
  mobrick("5\n" "a\no\n6\n");
  for (int64_t limit : {-1, 100000}) {
    RunResult r = mobrick(limit < 0 ? "1\n/dev/full\n4\n6\n" : "4\n6\n", limit);
    EXPECT_EQ(r.err, "error in write\n");
    EXPECT_EQ(r.status, 1);
  }
  EXPECT_EQ(file("image.p3d").size(), 100000u);
}

}  // namespace
