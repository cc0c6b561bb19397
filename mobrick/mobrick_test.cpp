// End-to-end tests of mobrick: dialogues through standard input, exact
// output, exit status and the bytes of the files written.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "test_images.h"

namespace {

const std::string kMenu =
    "\n\n1) Set 'dd' file\n2) Set Image file\n3) Copy 'dd' file -> Image\n4) Copy Image -> 'dd' file\n"
    "5) Format disk\n6) Quit\n\nYour choice: ";
const std::string kStart = "\n\nMOBRICK v0.2\n(Transfer CPC/+3/PCW-disks to disk-images and vice versa)\n"
                           "(and make newly formatted disks)" + kMenu;
const std::string kFullFormats =
    "d)ata 9x512x40x1; s)ystem 9x512x40x1;v)ortex 9x512x80x2;\n+)3 dos 9x512x40x1; a)mstrad PCW 9x512x80x2;\n"
    "m)odify; o)k\nYour choice: ";
const std::string kTwoSidedFormats = "v)ortex 9x512x80x2; a)mstrad PCW 9x512x80x2;\nm)odify; o)k\nYour choice: ";
const std::string kOverwrite = "file already exist. Overwrite (y/n) ? ";
const std::string kFormatting = "formatting image file default.dsk\n";
const std::string kCopyIn =
    "Copy 'dd' file -> Image\nreading from 'dd' file image.p3d.\nwriting to image file default.dsk\n";
const std::string kCopyOut = "Copy Image -> 'dd' file\nreading from image file default.dsk\n";
const std::string kWritingDd = "writing to 'dd' file image.p3d ...\n";
const std::string kFailed = "Operation terminated incorrectly.\n";
// The 16-byte disk records of the DATA, +3 DOS and Amstrad PCW formats.
const std::string kDataRecord = std::string("\x02\0\x28\x09\x02\0\x03\x02\x2A\x52\0\0\0\0\0\0", 16);
const std::string kPlus3Record = std::string("\0\0\x28\x09\x02\x01\x03\x02\x2A\x52\0\0\0\0\0\0", 16);
const std::string kPcwRecord = std::string("\x03\x01\x50\x09\x02\x01\x04\x04\x2A\x52\0\0\0\0\0\0", 16);
const std::vector<int> kIds{1, 2, 3, 4, 5, 6, 7, 8, 9};
// The exit status of Quit in a run in which an operation was given up.
constexpr int kQuitAfterGivingUp = 1;

// The progress texts "\r<verb> track t  head h ...  " of the first `blocks`
// track blocks of a disk with `sides` sides.
std::string progress(const std::string& verb, int blocks, int sides) {
  std::string text;
  for (int i = 0; i < blocks; ++i) {
    text += "\r" + verb + " track " + std::to_string(i / sides) + "  head " + std::to_string(i % sides) + " ...  ";
  }
  return text;
}

// Choice 5 on the existing default.dsk, from its first line to the menu.
std::string formatted(const std::string& dialogue, int tracks, int sides) {
  return kFormatting + kOverwrite + "Select format :\n" + dialogue + progress("Formatting", tracks * sides, sides) +
         "formatting ok.\n" + kMenu;
}

TEST_F(MobrickTest, MenuAnswersAndNames) {
  RunResult r = mobrick("7\n\nx\n2\ndisk\n2\ndisk.img\n2\n../disk\n2\n\n1\n/dev/fd0\n4x\n2\n" + std::string(85, 'a') + "\n6\n");
  const std::string bad = " only 1-6 : " + kMenu, name = "New image file (without .dsk) : Image file set to ";
  EXPECT_EQ(r.out, kStart + bad + bad + bad + name + "disk.dsk\n" + kMenu + name + "disk.img\n" + kMenu + name +
                       "../disk\n" + kMenu + name + ".dsk\n" + kMenu + "filename of 'dd' image: " + kMenu +
                       "Copy Image -> 'dd' file\nreading from image file .dsk\n" + kMenu + name +
                       std::string(85, 'a') + ".dsk\n" + kMenu);
  EXPECT_EQ(r.err, "error opening .dsk\n");
  EXPECT_EQ(r.status, kQuitAfterGivingUp);
}

TEST_F(MobrickTest, EndOfInputQuitsAtMenuAndFailsAtPrompts) {
  RunResult r = mobrick("");
  EXPECT_EQ(r.out, kStart);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.status, 0);
  // The end of input at the menu fails once an operation was given up.
  r = mobrick("4\n");
  EXPECT_EQ(r.out, kStart + kCopyOut + kMenu);
  EXPECT_EQ(r.err, "error opening default.dsk\n");
  EXPECT_EQ(r.status, kQuitAfterGivingUp);
  // Standard input that cannot be read (a directory) is not the end of input.
  r = run_program("/bin/sh", {"-c", "exec \"$0\" < .", MOBRICK_PATH}, RunOptions{dir.path(), "", "", -1});
  EXPECT_EQ(r.out, kStart);
  EXPECT_EQ(r.err, "mobrick: error reading standard input\n");
  EXPECT_EQ(r.status, 1);

  write_file(dir / "image.p3d", std::string(737280, 'x'));
  struct { const char* input; std::string out; const char* image; } cases[] = {
      {"1\n", "filename of 'dd' image: ", "old"},
      {"2\n", "New image file (without .dsk) : ", "old"},
      {"5\n", kFormatting + kOverwrite, "old"},
      {"3\n", kCopyIn + kOverwrite, "old"},
      // The image is emptied before the format dialogue.
      {"5\ny\nd\n", kFormatting + kOverwrite + "Select format :\n" + kFullFormats + "DATA-format set.\n" +
                        kFullFormats, ""},
      {"3\ny\nv\n", kCopyIn + kOverwrite + "Select format :\n" + kTwoSidedFormats + "VORTEX-format set.\n" +
                        kTwoSidedFormats, ""},
  };
  for (const auto& c : cases) {
    write_file(dir / "default.dsk", "old");
    r = mobrick(c.input);
    EXPECT_EQ(r.out, kStart + c.out) << c.input;
    EXPECT_EQ(r.err, "") << c.input;
    EXPECT_EQ(r.status, 1) << c.input;
    EXPECT_EQ(file("default.dsk"), c.image) << c.input;
  }
}

TEST_F(MobrickTest, FormatsAllFive) {
  struct { const char* keys; std::vector<std::string> messages; int tracks, sides; std::string image; } cases[] = {
      {"o", {"Ok."}, 40, 1, expected_image(40, 1, 0xC1, kDataRecord)},
      {"a\nS\no", {"Amstrad PCW-format set.", "SYSTEM-format set.", "Ok."}, 40, 1,
       expected_image(40, 1, 0x41, std::string("\x01\0\x28\x09\x02\x02\x03\x02\x2A\x52\0\0\0\0\0\0", 16))},
      {"V\nOk", {"VORTEX-format set.", "Ok."}, 80, 2, expected_image(80, 2, 1, kPcwRecord)},
      {"m\n0\n+\no", {"Modify: not implemented.", "unknown format.", "+3 DOS-format set.", "Ok."}, 40, 1,
       expected_image(40, 1, 1, kPlus3Record)},
      {"d\na\no", {"DATA-format set.", "Amstrad PCW-format set.", "Ok."}, 80, 2, expected_image(80, 2, 1, kPcwRecord)},
  };
  write_file(dir / "default.dsk", "old");
  for (const auto& c : cases) {
    std::string dialogue;
    for (const std::string& message : c.messages) dialogue += kFullFormats + message + "\n";
    RunResult r = mobrick("5\ny\n" + std::string(c.keys) + "\n6\n");
    EXPECT_EQ(r.out, kStart + formatted(dialogue, c.tracks, c.sides)) << c.keys;
    EXPECT_EQ(r.err, "") << c.keys;
    EXPECT_EQ(r.status, 0) << c.keys;
    EXPECT_PRED_FORMAT2(SameBytes, file("default.dsk"), c.image) << c.keys;
  }
  // A new image: no question.
  RunResult r = mobrick("2\nd\n5\no\n6\n");
  EXPECT_EQ(r.out, kStart + "New image file (without .dsk) : Image file set to d.dsk\n" + kMenu +
                       "formatting image file d.dsk\nSelect format :\n" + kFullFormats + "Ok.\n" +
                       progress("Formatting", 40, 1) + "formatting ok.\n" + kMenu);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.status, 0);
  EXPECT_PRED_FORMAT2(SameBytes, file("d.dsk"), expected_image(40, 1, 0xC1, kDataRecord));
}

TEST_F(MobrickTest, FormatKeepsDeclinedImageAndReportsFullDisk) {
  write_file(dir / "default.dsk", "old");
  RunResult r = mobrick("5\nn\n6\n");
  EXPECT_EQ(r.out, kStart + kFormatting + kOverwrite + kMenu);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(file("default.dsk"), "old");

  // The image reaches the file through a buffer of 4096 or 8192 bytes (by the
  // file system); a write fails when the buffer that holds the limit is
  // written out. Each limit lies less than 4096 bytes below a multiple of 8192,
  // so that both sizes fail at the same write: in the sectors of track 1, in
  // the Track-Info block of track 5, in the sectors of track 33, and when the
  // image is closed after the last track.
  const std::string image = expected_image(40, 1, 0xC1, kDataRecord);
  struct { int64_t limit; int blocks_begun; } limits[] = {{5000, 2}, {24575, 6}, {162840, 34}, {194816 - 100, 40}};
  for (const auto& c : limits) {
    r = mobrick("5\ny\no\n6\n", c.limit);
    EXPECT_EQ(r.out, kStart + kFormatting + kOverwrite + "Select format :\n" + kFullFormats + "Ok.\n" +
                         progress("Formatting", c.blocks_begun, 1) + kFailed + kMenu) << c.limit;
    EXPECT_EQ(r.err, "error fwrite()\n") << c.limit;
    EXPECT_EQ(r.status, kQuitAfterGivingUp) << c.limit;
    EXPECT_PRED_FORMAT2(SameBytes, file("default.dsk"), image.substr(0, c.limit)) << c.limit;
  }
}

TEST_F(MobrickTest, RoundTripOfAFullDump) {
  const std::string dump = random_bytes(737280);
  write_file(dir / "image.p3d", dump);
  RunResult r = mobrick("3\nd\ns\n+\no\n1\nback\n4\n6\n");  // the two-sided menu offers no d, s or +
  const std::string unknown = kTwoSidedFormats + "unknown format.\n";
  EXPECT_EQ(r.out, kStart + kCopyIn + "Select format :\n" + unknown + unknown + unknown + kTwoSidedFormats + "Ok.\n" +
                       progress("Loading", 160, 2) + "transfer ok.\n" + kMenu + "filename of 'dd' image: " + kMenu +
                       kCopyOut + "writing to 'dd' file back ...\n" + progress("Saving", 160, 2) + "transfer ok.\n" +
                       kMenu);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.status, 0);
  EXPECT_PRED_FORMAT2(SameBytes, file("default.dsk"), expected_image(80, 2, 1, "", dump));
  EXPECT_PRED_FORMAT2(SameBytes, file("back"), dump);
}

TEST_F(MobrickTest, CopyIntoAFullDiskStopsAtTheTrackThatFailed) {
  const std::string dump = random_bytes(737280);
  write_file(dir / "image.p3d", dump);
  // The limit lies in the sectors of track 0 head 0; the image's buffer (4096
  // or 8192 bytes) fails when it is written out at byte 8192, in a sector of
  // track 0 head 1.
  RunResult r = mobrick("3\no\n6\n", 5000);
  EXPECT_EQ(r.out, kStart + kCopyIn + "Select format :\n" + kTwoSidedFormats + "Ok.\n" + progress("Loading", 2, 2) +
                       kFailed + kMenu);
  EXPECT_EQ(r.err, "error fwrite()\n");
  EXPECT_EQ(r.status, kQuitAfterGivingUp);
  EXPECT_PRED_FORMAT2(SameBytes, file("default.dsk"), expected_image(80, 2, 1, "", dump).substr(0, 5000));
  EXPECT_PRED_FORMAT2(SameBytes, file("image.p3d"), dump);
}

TEST_F(MobrickTest, MissingFiles) {
  // Standard error into standard output, as in a log: the note follows the
  // lines printed before it.
  RunResult r = run_program("/bin/sh", {"-c", "exec \"$0\" 2>&1", MOBRICK_PATH}, RunOptions{dir.path(), "3\n6\n", "", -1});
  EXPECT_EQ(r.out, kStart + kCopyIn + "error: can't open image.p3d\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_FALSE(file_exists(dir / "default.dsk"));

  write_file(dir / "image.p3d", "keep");
  r = mobrick("4\n6\n");
  EXPECT_EQ(r.out, kStart + kCopyOut + kMenu);
  EXPECT_EQ(r.err, "error opening default.dsk\n");
  EXPECT_EQ(r.status, kQuitAfterGivingUp);
  EXPECT_EQ(file("image.p3d"), "keep");

  // An image that cannot be created, in both operations that write one.
  const std::string name = "New image file (without .dsk) : Image file set to no/dir.dsk\n" + kMenu;
  r = mobrick("2\nno/dir\n5\n3\n6\n");
  EXPECT_EQ(r.out, kStart + name + "formatting image file no/dir.dsk\nerror opening no/dir.dsk\n" + kMenu +
                       "Copy 'dd' file -> Image\nreading from 'dd' file image.p3d.\nwriting to image file no/dir.dsk\n"
                       "error opening no/dir.dsk\n" + kMenu);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.status, kQuitAfterGivingUp);

  write_file(dir / "default.dsk", disk_info(0, 0));
  r = mobrick("1\nno/dir\n4\n6\n");
  EXPECT_EQ(r.out, kStart + "filename of 'dd' image: " + kMenu + kCopyOut);
  EXPECT_EQ(r.err, "error: can't open no/dir\n");
  EXPECT_EQ(r.status, 1);
}

TEST_F(MobrickTest, RefusedImagesLeaveTheDdFileOrStopAtTheBadBlock) {
  const std::string t0 = track_block(0, 0, 2, kIds, std::string(4608, 'a'));
  const std::string saved_0 = kWritingDd + progress("Saving", 1, 2), saved_01 = kWritingDd + progress("Saving", 2, 2);
  // `shown`: what stands between the heading and the failure.
  struct { const char* what; std::string image, err, shown, dd; } cases[] = {
      {"no magic", "MV - CPX" + disk_info(1, 1).substr(8), "", "", "keep"},
      {"short Disk-Info", disk_info(1, 1).substr(0, 255), "error fread()\n", "", "keep"},
      {"side 0 twice", disk_info(1, 2) + t0 + t0, "", saved_01, std::string(4608, 'a')},
      {"track 1 for side 1", disk_info(1, 2) + t0 + track_block(1, 0, 2, kIds, std::string(4608, 'b')), "", saved_01,
       std::string(4608, 'a')},
      {"19 sectors", disk_info(1, 1) + track_block(0, 0, 2, std::vector<int>(19, 1), std::string(19 * 512, 'a')), "",
       saved_0, ""},
      {"size code 6", disk_info(1, 1) + track_block(0, 0, 6, {1}, std::string(8192, 'a')), "", saved_0, ""},
      {"no Track magic", disk_info(1, 1) + "Trace" + t0.substr(5), "", saved_0, ""},
      {"ends in Track-Info", disk_info(1, 1) + t0.substr(0, 20), "error fread()\n", saved_0, ""},
      {"ends in sector 8", disk_info(1, 1) + t0.substr(0, 4000), "error fread()\n", saved_0, std::string(7 * 512, 'a')},
  };
  for (const auto& c : cases) {
    write_file(dir / "default.dsk", c.image);
    write_file(dir / "image.p3d", "keep");
    RunResult r = mobrick("4\n6\n");
    EXPECT_EQ(r.out, kStart + kCopyOut + c.shown + kFailed + kMenu) << c.what;
    EXPECT_EQ(r.err, c.err) << c.what;
    EXPECT_EQ(r.status, kQuitAfterGivingUp) << c.what;
    EXPECT_PRED_FORMAT2(SameBytes, file("image.p3d"), c.dd) << c.what;
  }
  write_file(dir / "default.dsk", "MV - CPC" + std::string(300, '\0'));
  RunResult r = mobrick("4\n6\n");
  EXPECT_EQ(r.out, kStart + kCopyOut + kWritingDd + "transfer ok.\n" + kMenu);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(file("image.p3d"), "");
}

TEST_F(MobrickTest, SectorsGoToTheSlotsOfTheirIds) {
  // Track 0 interleaved; track 1 of 256-byte sectors, whose slots end in
  // zeros, not in what the sector before left.
  std::string t0, t1;
  const std::vector<int> interleaved{1, 6, 2, 7, 3, 8, 4, 9, 5};
  for (int id : interleaved) t0 += std::string(512, char('A' + id));
  for (int id : kIds) t1 += std::string(256, char('a' + id));
  write_file(dir / "default.dsk",
             disk_info(2, 1) + track_block(0, 0, 2, interleaved, t0) + track_block(1, 0, 1, kIds, t1));
  RunResult r = mobrick("4\n6\n");
  EXPECT_EQ(r.out, kStart + kCopyOut + kWritingDd + progress("Saving", 2, 1) + "transfer ok.\n" + kMenu);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.status, 0);
  std::string dd;
  for (int id : kIds) dd += std::string(512, char('A' + id));
  dd += std::string(9 * 512, '\0');
  for (int id : kIds) dd += std::string(256, char('a' + id)) + std::string(256, '\0');
  EXPECT_PRED_FORMAT2(SameBytes, file("image.p3d"), dd);

  // One side of 18 sectors, the most the reader takes: IDs 10 to 18 take the
  // slots of the side that the image has not.
  std::vector<int> ids18;
  std::string t2;
  dd.clear();
  for (int id = 1; id <= 18; ++id) {
    ids18.push_back(id);
    t2 += std::string(512, char(id));
    dd += std::string(512, char(id));
  }
  write_file(dir / "default.dsk", disk_info(1, 1) + track_block(0, 0, 2, ids18, t2));
  r = mobrick("4\n6\n");
  EXPECT_EQ(r.out, kStart + kCopyOut + kWritingDd + progress("Saving", 1, 1) + "transfer ok.\n" + kMenu);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.status, 0);
  EXPECT_PRED_FORMAT2(SameBytes, file("image.p3d"), dd);

  // A formatted DATA disk, IDs 0xC1 to 0xC9: track 0 side 0 from slot 192
  // (byte 98304); a +3 disk, IDs 1 to 9, side 0 only.
  struct { const char* key; const char* chosen; std::string record; int first_slot; } disks[] = {
      {"d", "DATA-format set.\n", kDataRecord, 192}, {"+", "+3 DOS-format set.\n", kPlus3Record, 0}};
  for (const auto& d : disks) {
    r = mobrick("5\ny\n" + std::string(d.key) + "\no\n4\n6\n");
    EXPECT_EQ(r.out, kStart + formatted(kFullFormats + d.chosen + kFullFormats + "Ok.\n", 40, 1) + kCopyOut +
                         kWritingDd + progress("Saving", 40, 1) + "transfer ok.\n" + kMenu) << d.key;
    EXPECT_EQ(r.err, "") << d.key;
    EXPECT_EQ(r.status, 0) << d.key;
    std::string expected = std::string(d.first_slot * 512, '\0') + d.record + std::string(4608 - 16, char(0xE5));
    for (int t = 1; t < 40; ++t) expected += std::string(4608, '\0') + std::string(4608, char(0xE5));
    EXPECT_PRED_FORMAT2(SameBytes, file("image.p3d"), expected) << d.key;
  }
}

TEST_F(MobrickTest, FormattingAfterACopyOfEighteenSectorsWritesItsOwnTrackInfo) {
  // One side, IDs 1 to 18: IDs 10 to 18 take the slots of side 1. The last
  // Track-Info block read holds 18 entries; formatting in the same run writes
  // blocks of 9.
  std::vector<int> ids;
  std::string data;
  for (int id = 1; id <= 18; ++id) {
    ids.push_back(id);
    data += std::string(512, char(id));
  }
  write_file(dir / "default.dsk", disk_info(1, 1) + track_block(0, 0, 2, ids, data));
  RunResult r = mobrick("4\n5\ny\no\n6\n");
  EXPECT_EQ(r.out, kStart + kCopyOut + kWritingDd + progress("Saving", 1, 1) + "transfer ok.\n" + kMenu +
                       formatted(kFullFormats + "Ok.\n", 40, 1));
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.status, 0);
  EXPECT_PRED_FORMAT2(SameBytes, file("image.p3d"), data);
  EXPECT_PRED_FORMAT2(SameBytes, file("default.dsk"), expected_image(40, 1, 0xC1, kDataRecord));
}

TEST_F(MobrickTest, FailedDdReadsAndWritesAreFatal) {
  const std::string dump = random_bytes(10000);
  write_file(dir / "image.p3d", dump);
  RunResult r = mobrick("3\no\n6\n");
  EXPECT_EQ(r.out, kStart + kCopyIn + "Select format :\n" + kTwoSidedFormats + "Ok.\n" + progress("Loading", 3, 2));
  EXPECT_EQ(r.err, "error in read\n");
  EXPECT_EQ(r.status, 1);
  // Disk-Info, two whole track blocks, the third Track-Info and one sector.
  EXPECT_PRED_FORMAT2(SameBytes, file("default.dsk"),
                      expected_image(80, 2, 1, "", dump + std::string(737280 - 10000, 0)).substr(0, 10752));

  ASSERT_EQ(mobrick("5\ny\na\no\n6\n").status, 0);
  r = mobrick("1\n/dev/full\n4\n6\n");
  EXPECT_EQ(r.out, kStart + "filename of 'dd' image: " + kMenu + kCopyOut + "writing to 'dd' file /dev/full ...\n" +
                       progress("Saving", 1, 2));
  EXPECT_EQ(r.err, "error in write\n");
  EXPECT_EQ(r.status, 1);
  // The 'dd' file is written unbuffered: slot 195, of track 10 head 1, fails.
  r = mobrick("4\n6\n", 100000);
  EXPECT_EQ(r.out, kStart + kCopyOut + kWritingDd + progress("Saving", 22, 2));
  EXPECT_EQ(r.err, "error in write\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_PRED_FORMAT2(SameBytes, file("image.p3d"), kPcwRecord + std::string(100000 - 16, char(0xE5)));
}

TEST_F(MobrickTest, UnwritableMessagesFailTheRun) {
  RunResult r = run_program(MOBRICK_PATH, {}, RunOptions{dir.path(), "5\no\n6\n", "/dev/full", -1});
  EXPECT_EQ(r.err, "mobrick: error writing standard output\n");
  EXPECT_EQ(r.status, 1);
  // The work itself was done.
  EXPECT_PRED_FORMAT2(SameBytes, file("default.dsk"), expected_image(40, 1, 0xC1, kDataRecord));
}

const std::string kNamePrompt = "New image file (without .dsk) : ";
const std::string kDdPrompt = "filename of 'dd' image: ";

// Choice 5 writing a DATA image, from its first line to "formatting ok.";
// `question` is the overwrite question, if the image exists.
std::string formatted_data(const std::string& image, const std::string& question = "") {
  return "formatting image file " + image + "\n" + question + "Select format :\n" + kFullFormats + "Ok.\n" +
         progress("Formatting", 40, 1) + "formatting ok.\n";
}

TEST_F(MobrickTest, TracksThatDoNotFitTheDdLayoutGiveTheCopyUp) {
  const std::vector<int> ten{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, twice{1, 2, 3, 4, 5, 6, 7, 8, 8}, from0{0, 1, 2, 3, 4, 5, 6, 7, 8};
  const std::string t0h0 = track_block(0, 0, 2, kIds, std::string(4608, 'a'));
  const std::string t0h1 = track_block(0, 1, 2, kIds, std::string(4608, 'b'));
  // `dd`: the 'dd' file afterwards, all that was written before the track
  // that does not fit.
  struct { const char* what; std::string image; int blocks_begun; std::string err, dd; } cases[] = {
      // ID 10 of side 0 takes the slot of ID 1 of side 1.
      {"ten sectors", disk_info(1, 2) + track_block(0, 0, 2, ten, std::string(5120, 'a')) +
                          track_block(0, 1, 2, ten, std::string(5120, 'b')),
       2, "error: track 0 head 1 doesn't fit a 'dd' file\n", std::string(5120, 'a')},
      {"1024-byte sectors", disk_info(1, 1) + track_block(0, 0, 3, kIds, std::string(9216, 'a')), 1,
       "error: track 0 head 0 doesn't fit a 'dd' file\n", ""},
      {"an ID twice", disk_info(1, 1) + track_block(0, 0, 2, twice, std::string(4608, 'a')), 1,
       "error: track 0 head 0 doesn't fit a 'dd' file\n", ""},
      // ID 0 of track 1 takes the slot of ID 9 of track 0 side 1.
      {"ID 0 on track 1", disk_info(2, 2) + t0h0 + t0h1 + track_block(1, 0, 2, from0, std::string(4608, 'c')), 3,
       "error: track 1 head 0 doesn't fit a 'dd' file\n", std::string(4608, 'a') + std::string(4608, 'b')},
  };
  for (const auto& c : cases) {
    write_file(dir / "default.dsk", c.image);
    write_file(dir / "image.p3d", "old");
    RunResult r = mobrick("4\n6\n");
    EXPECT_EQ(r.out, kStart + kCopyOut + kWritingDd + progress("Saving", c.blocks_begun, 2) + kFailed + kMenu) << c.what;
    EXPECT_EQ(r.err, c.err) << c.what;
    EXPECT_EQ(r.status, 1) << c.what;
    EXPECT_PRED_FORMAT2(SameBytes, file("image.p3d"), c.dd) << c.what;
  }
  // ID 0 of the very first track has no slot at all: its seek fails.
  write_file(dir / "default.dsk", disk_info(1, 1) + track_block(0, 0, 2, from0, std::string(4608, 'a')));
  RunResult r = mobrick("4\n6\n");
  EXPECT_EQ(r.out, kStart + kCopyOut + kWritingDd + progress("Saving", 1, 1));
  EXPECT_EQ(r.err, "error in seek\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(file("image.p3d"), "");
  // A track without sectors loses nothing, whatever its size code.
  write_file(dir / "default.dsk", disk_info(1, 1) + track_block(0, 0, 3, {}, ""));
  r = mobrick("4\n6\n");
  EXPECT_EQ(r.out, kStart + kCopyOut + kWritingDd + progress("Saving", 1, 1) + "transfer ok.\n" + kMenu);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.status, 0);
  // IDs from 0x41 leave slots free, but fit: a SYSTEM disk's first sector at
  // slot 64 (byte 32768), the last at slot 18 x 39 + 72.
  const std::string system_record = std::string("\x01\0\x28\x09\x02\x02\x03\x02\x2A\x52\0\0\0\0\0\0", 16);
  r = mobrick("5\ny\ns\no\n4\n6\n");
  EXPECT_EQ(r.out, kStart + formatted(kFullFormats + "SYSTEM-format set.\n" + kFullFormats + "Ok.\n", 40, 1) +
                       kCopyOut + kWritingDd + progress("Saving", 40, 1) + "transfer ok.\n" + kMenu);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.status, 0);
  const std::string dd = file("image.p3d");
  ASSERT_EQ(dd.size(), 396800u);
  EXPECT_EQ(dd.substr(0, 32768), std::string(32768, '\0'));
  EXPECT_EQ(dd.substr(32768, 16), system_record);
  EXPECT_EQ(dd.substr(32768 + 16, 512 * 9 - 16), std::string(512 * 9 - 16, '\xE5'));
  EXPECT_EQ(dd.substr(32768 + 512 * 9, 512 * 9), std::string(512 * 9, '\0'));
  EXPECT_EQ(dd.substr(396800 - 512), std::string(512, '\xE5'));
}

TEST_F(MobrickTest, OneFileNamedAsBothIsLeftUntouched) {
  const std::string dump = random_bytes(737280);
  write_file(dir / "disk.raw", dump);
  ASSERT_EQ(link((dir / "disk.raw").c_str(), (dir / "hard.raw").c_str()), 0);
  ASSERT_EQ(symlink("disk.raw", (dir / "soft.raw").c_str()), 0);
  for (const std::string name : {"disk.raw", "hard.raw", "soft.raw"}) {
    RunResult r = mobrick("1\ndisk.raw\n2\n" + name + "\n3\n6\n");
    EXPECT_EQ(r.out, kStart + kDdPrompt + kMenu + kNamePrompt + "Image file set to " + name + "\n" + kMenu +
                         "Copy 'dd' file -> Image\nreading from 'dd' file disk.raw.\nwriting to image file " + name +
                         "\n" + kFailed + kMenu);
    EXPECT_EQ(r.err, "error: disk.raw and " + name + " are the same file\n");
    EXPECT_EQ(r.status, 1) << name;
    EXPECT_PRED_FORMAT2(SameBytes, file("disk.raw"), dump) << name;
  }
  ASSERT_EQ(mobrick("2\ndisk\n5\no\n6\n").status, 0);
  const std::string image = file("disk.dsk");
  ASSERT_EQ(link((dir / "disk.dsk").c_str(), (dir / "hard.dsk").c_str()), 0);
  ASSERT_EQ(symlink("disk.dsk", (dir / "soft.dsk").c_str()), 0);
  for (const std::string name : {"disk.dsk", "hard.dsk", "soft.dsk"}) {
    RunResult r = mobrick("1\n" + name + "\n2\ndisk.dsk\n4\n6\n");
    EXPECT_EQ(r.out, kStart + kDdPrompt + kMenu + kNamePrompt + "Image file set to disk.dsk\n" + kMenu +
                         "Copy Image -> 'dd' file\nreading from image file disk.dsk\n" + kFailed + kMenu);
    EXPECT_EQ(r.err, "error: " + name + " and disk.dsk are the same file\n");
    EXPECT_EQ(r.status, 1) << name;
    EXPECT_PRED_FORMAT2(SameBytes, file("disk.dsk"), image) << name;
  }
}

TEST_F(MobrickTest, EveryAnswerIsOneWholeLine) {
  // A 200-character path through both name prompts.
  const std::string path(200, 'n');
  RunResult r = mobrick("2\n" + path + "\n5\no\n1\n" + path + ".raw\n4\n6\n");
  EXPECT_EQ(r.out, kStart + kNamePrompt + "Image file set to " + path + ".dsk\n" + kMenu + formatted_data(path + ".dsk") +
                       kMenu + kDdPrompt + kMenu + "Copy Image -> 'dd' file\nreading from image file " + path +
                       ".dsk\nwriting to 'dd' file " + path + ".raw ...\n" + progress("Saving", 40, 1) +
                       "transfer ok.\n" + kMenu);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(file(path + ".dsk").size(), 194816u);
  EXPECT_EQ(file(path + ".raw").size(), 462336u);

  // Names of more than 4095 characters, ".dsk" counted, are refused and the
  // old names kept; nothing of their lines answers the next prompt.
  r = mobrick("1\n" + std::string(4100, '4') + "\n2\n" + std::string(4100, '4') + "\n2\n" + std::string(4092, 'w') +
              "\n2\n" + std::string(4091, 'z') + "\n3\n");
  EXPECT_EQ(r.out, kStart + kDdPrompt + "name too long\n" + kMenu + kNamePrompt + "name too long\n" + kMenu +
                       kNamePrompt + "name too long\n" + kMenu + kNamePrompt + "Image file set to " +
                       std::string(4091, 'z') + ".dsk\n" + kMenu +
                       "Copy 'dd' file -> Image\nreading from 'dd' file image.p3d.\nwriting to image file " +
                       std::string(4091, 'z') + ".dsk\n");
  EXPECT_EQ(r.err, "error: can't open image.p3d\n");
  EXPECT_EQ(r.status, 1);

  // The rest of a line beyond 79 characters is part of the answer.
  const std::string a79(79, 'a');
  r = mobrick("2\n" + a79 + "4\n" + a79 + "4\n6\n");
  EXPECT_EQ(r.out, kStart + kNamePrompt + "Image file set to " + a79 + "4.dsk\n" + kMenu + " only 1-6 : " + kMenu);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.status, 0);

  // A script with CRLF line ends.
  r = mobrick("2\r\ndisk\r\n5\r\no\r\n5\r\ny\r\no\r\n6\r\n");
  EXPECT_EQ(r.out, kStart + kNamePrompt + "Image file set to disk.dsk\n" + kMenu + formatted_data("disk.dsk") + kMenu +
                       formatted_data("disk.dsk", kOverwrite) + kMenu);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(file("disk.dsk").size(), 194816u);
}

TEST_F(MobrickTest, TheOverwriteQuestionComesForAnImageThatCannotBeRead) {
  // Root reads any file, so as root the program runs as nobody.
  std::string program = MOBRICK_PATH;
  std::vector<std::string> args;
  mode_t write_only = 0200;
  if (geteuid() == 0) {
    ASSERT_EQ(chmod(dir.path().c_str(), 0755), 0);
    std::filesystem::copy_file(program, dir / "mobrick");
    args = {"--reuid=65534", "--regid=65534", "--clear-groups", dir / "mobrick"};
    program = "/usr/bin/setpriv";
    write_only = 0222;
  }
  write_file(dir / "default.dsk", "old");
  ASSERT_EQ(chmod((dir / "default.dsk").c_str(), write_only), 0);
  RunResult r = run_program(program, args, RunOptions{dir.path(), "5\nn\n6\n", "", -1});
  EXPECT_EQ(r.out, kStart + kFormatting + kOverwrite + kMenu);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.status, 0);
  ASSERT_EQ(chmod((dir / "default.dsk").c_str(), 0600), 0);
  EXPECT_EQ(file("default.dsk"), "old");
}

TEST_F(MobrickTest, ClosedStandardStreamsTakeNoFile) {
  RunResult r = run_program("/bin/sh", {"-c", "exec \"$0\" >&-", MOBRICK_PATH}, RunOptions{dir.path(), "5\no\n6\n", "", -1});
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "mobrick: error writing standard output\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_PRED_FORMAT2(SameBytes, file("default.dsk"), expected_image(40, 1, 0xC1, kDataRecord));
  r = run_program("/bin/sh", {"-c", "exec \"$0\" <&-", MOBRICK_PATH}, RunOptions{dir.path(), "", "", -1});
  EXPECT_EQ(r.out, kStart);
  EXPECT_EQ(r.err, "mobrick: error reading standard input\n");
  EXPECT_EQ(r.status, 1);
}

}  // namespace
