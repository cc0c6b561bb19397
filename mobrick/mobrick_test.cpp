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
const std::string kFailed = "Operation terminated incorrectly.\n";
const std::vector<int> kIds{1, 2, 3, 4, 5, 6, 7, 8, 9};

TEST_F(MobrickTest, MenuAnswersAndNames) {
  RunResult r = mobrick("7\n\nx\n2\ndisk\n2\ndisk.img\n2\n../disk\n2\n\n1\n/dev/fd0\n4x\n2\n" + std::string(85, 'a') + "\n6\n");
  const std::string bad = " only 1-6 : " + kMenu, name = "New image file (without .dsk) : Image file set to ";
  EXPECT_EQ(r.out, kStart + bad + bad + bad + name + "disk.dsk\n" + kMenu + name + "disk.img\n" + kMenu + name +
                       "../disk\n" + kMenu + name + ".dsk\n" + kMenu + "filename of 'dd' image: " + kMenu +
                       "Copy Image -> 'dd' file\nreading from image file .dsk\n" + kMenu + name +
                       std::string(85, 'a') + ".dsk\n" + kMenu);
  EXPECT_EQ(r.err, "error opening .dsk\n");
  EXPECT_EQ(r.status, 1);  // the copy was given up
}

TEST_F(MobrickTest, EndOfInputQuitsAtMenuAndFailsAtPrompts) {
  EXPECT_EQ(mobrick("").status, 0);
  EXPECT_EQ(mobrick("1\n").status, 1);
  // Standard input that cannot be read (a directory) is not the end of input.
  RunResult unreadable = run_program("/bin/sh", {"-c", "exec \"$0\" < .", MOBRICK_PATH},
                                     RunOptions{dir.path(), "", "", -1});
  EXPECT_EQ(unreadable.out, kStart);
  EXPECT_EQ(unreadable.err, "mobrick: error reading standard input\n");
  EXPECT_EQ(unreadable.status, 1);
  write_file(dir / "default.dsk", "old");
  write_file(dir / "image.p3d", std::string(737280, 'x'));
  const std::string question = "Overwrite (y/n) ? ", format_menu = "m)odify; o)k\nYour choice: ";
  for (auto [input, prompt] : {std::pair{"5\n", question}, {"3\n", question}, {"5\ny\nd\n", format_menu},
                               {"3\ny\nv\n", format_menu}}) {
    RunResult r = mobrick(input);
    EXPECT_EQ(r.status, 1) << input;
    EXPECT_EQ(r.out.substr(r.out.size() - prompt.size()), prompt) << input;
  }
  EXPECT_EQ(file("default.dsk"), "");  // emptied before the format dialogue
}

TEST_F(MobrickTest, FormatsAllFive) {
  const std::string zeros(6, '\0'), data = std::string("\x02\0\x28\x09\x02\0\x03\x02\x2A\x52", 10) + zeros,
                    pcw = std::string("\x03\x01\x50\x09\x02\x01\x04\x04\x2A\x52", 10) + zeros;
  struct { const char* keys; std::string image; } cases[] = {
      {"o", expected_image(40, 1, 0xC1, data)},
      {"a\nS\no", expected_image(40, 1, 0x41, std::string("\x01\0\x28\x09\x02\x02\x03\x02\x2A\x52", 10) + zeros)},
      {"V\nOk", expected_image(80, 2, 1, pcw)},
      {"m\n0\n+\no", expected_image(40, 1, 1, std::string("\0\0\x28\x09\x02\x01\x03\x02\x2A\x52", 10) + zeros)},
      {"d\na\no", expected_image(80, 2, 1, pcw)},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(mobrick("5\ny\n" + std::string(c.keys) + "\n6\n").status, 0);
    EXPECT_TRUE(file("default.dsk") == c.image) << c.keys;
  }
  std::string progress;
  for (int t = 0; t < 40; ++t) progress += "\rFormatting track " + std::to_string(t) + "  head 0 ...  ";
  EXPECT_EQ(mobrick("2\nd\n5\no\n6\n").out,
            kStart + "New image file (without .dsk) : Image file set to d.dsk\n" + kMenu +
                "formatting image file d.dsk\nSelect format :\nd)ata 9x512x40x1; s)ystem 9x512x40x1;v)ortex "
                "9x512x80x2;\n+)3 dos 9x512x40x1; a)mstrad PCW 9x512x80x2;\nm)odify; o)k\nYour choice: Ok.\n" +
                progress + "formatting ok.\n" + kMenu);
}

TEST_F(MobrickTest, FormatKeepsDeclinedImageAndReportsFullDisk) {
  write_file(dir / "default.dsk", "old");
  EXPECT_EQ(mobrick("5\nn\n6\n").out,
            kStart + "formatting image file default.dsk\nfile already exist. Overwrite (y/n) ? " + kMenu);
  EXPECT_EQ(file("default.dsk"), "old");
  // The first limit fails in a write, the second only when the image is closed.
  for (int64_t limit : {100000, 194816 - 100}) {
    RunResult r = mobrick("5\ny\no\n6\n", limit);
    EXPECT_EQ(r.err, "error fwrite()\n") << limit;
    EXPECT_EQ(r.out.substr(r.out.size() - kFailed.size() - kMenu.size() - 2), "  " + kFailed + kMenu) << limit;
    EXPECT_EQ(r.status, 1);
  }
}

TEST_F(MobrickTest, RoundTripOfAFullDump) {
  const std::string dump = random_bytes(737280);
  write_file(dir / "image.p3d", dump);
  RunResult r = mobrick("3\nd\ns\n+\no\n1\nback\n4\n6\n");  // the two-sided menu offers no d, s or +
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_NE(r.out.find("v)ortex 9x512x80x2; a)mstrad PCW 9x512x80x2;\nm)odify; o)k\nYour choice: unknown format.\n"),
            std::string::npos);
  EXPECT_NE(r.out.find("\rLoading track 79  head 1 ...  transfer ok.\n"), std::string::npos);
  EXPECT_NE(r.out.find("\rSaving track 79  head 1 ...  transfer ok.\n"), std::string::npos);
  EXPECT_TRUE(file("default.dsk") == expected_image(80, 2, 1, "", dump));
  EXPECT_TRUE(file("back") == dump);
}

TEST_F(MobrickTest, MissingFiles) {
  RunResult r = mobrick("3\n6\n");
  EXPECT_EQ(r.err, "error: can't open image.p3d\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_FALSE(file_exists(dir / "default.dsk"));

  write_file(dir / "image.p3d", "keep");
  r = mobrick("4\n6\n");
  EXPECT_EQ(r.err, "error opening default.dsk\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(file("image.p3d"), "keep");

  write_file(dir / "default.dsk", disk_info(0, 0));
  r = mobrick("1\nno/dir\n4\n6\n");
  EXPECT_EQ(r.err, "error: can't open no/dir\n");
  EXPECT_EQ(r.status, 1);
}

TEST_F(MobrickTest, RefusedImagesLeaveTheDdFileOrStopAtTheBadBlock) {
  const std::string t0 = track_block(0, 0, 2, kIds, std::string(4608, 'a'));
  struct { std::string image; std::string err; bool dd_kept; } cases[] = {
      {"MV - CPX" + disk_info(1, 1).substr(8), "", true},
      {disk_info(1, 1).substr(0, 255), "error fread()\n", true},
      {disk_info(1, 2) + t0 + t0, "", false},
      {disk_info(1, 2) + t0 + track_block(1, 0, 2, kIds, std::string(4608, 'b')), "", false},
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
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(file("image.p3d") == "keep", c.dd_kept) << r.out;
  }
  write_file(dir / "default.dsk", "MV - CPC" + std::string(300, '\0'));
  EXPECT_NE(mobrick("4\n6\n").out.find("...\ntransfer ok.\n"), std::string::npos);
  EXPECT_EQ(file("image.p3d"), "");
}

TEST_F(MobrickTest, SectorsGoToTheSlotsOfTheirIds) {
  // Track 0 interleaved; track 1 of 256-byte sectors, whose slots end in
  // zeros, not in what the sector before left; track 2 of one side with 18
  // sectors, whose IDs 10 to 18 take the slots of its unused side 1.
  std::string t0, t1, t2;
  const std::vector<int> interleaved{1, 6, 2, 7, 3, 8, 4, 9, 5};
  std::vector<int> ids18;
  for (int id : interleaved) t0 += std::string(512, char('A' + id));
  for (int id : kIds) t1 += std::string(256, char('a' + id));
  for (int id = 1; id <= 18; ++id) ids18.push_back(id), t2 += std::string(512, char(id));
  write_file(dir / "default.dsk", disk_info(3, 1) + track_block(0, 0, 2, interleaved, t0) +
                                      track_block(1, 0, 1, kIds, t1) + track_block(2, 0, 2, ids18, t2));
  EXPECT_EQ(mobrick("4\n6\n").status, 0);
  const std::string dd = file("image.p3d");
  ASSERT_EQ(dd.size(), 54u * 512);
  for (int id = 1; id <= 9; ++id) {
    EXPECT_EQ(dd.substr((id - 1) * 512, 512), std::string(512, char('A' + id)));
    EXPECT_EQ(dd.substr((9 + id - 1) * 512, 512), std::string(512, '\0'));
    EXPECT_EQ(dd.substr((18 + id - 1) * 512, 512), std::string(256, char('a' + id)) + std::string(256, '\0'));
  }
  for (int id = 1; id <= 18; ++id) EXPECT_EQ(dd.substr((36 + id - 1) * 512, 512), std::string(512, char(id)));
  // A formatted DATA disk (IDs 0xC1 to 0xC9) and a +3 disk (IDs 1 to 9).
  mobrick("5\ny\no\n4\n6\n");
  EXPECT_EQ(file("image.p3d").size(), 462336u);
  EXPECT_EQ(file("image.p3d").substr(98304 - 1, 3), std::string("\0\x02\0", 3));
  mobrick("5\ny\n+\no\n4\n6\n");
  EXPECT_EQ(file("image.p3d").size(), 364032u);
}

TEST_F(MobrickTest, FailedDdReadsAndWritesAreFatal) {
  const std::string dump = random_bytes(10000);
  write_file(dir / "image.p3d", dump);
  RunResult r = mobrick("3\no\n6\n");
  EXPECT_EQ(r.err, "error in read\n");
  EXPECT_EQ(r.status, 1);
  // Disk-Info, two whole track blocks, the third Track-Info and one sector.
  EXPECT_EQ(file("default.dsk"), expected_image(80, 2, 1, "", dump + std::string(737280 - 10000, 0)).substr(0, 10752));

  mobrick("5\ny\na\no\n6\n");
  for (int64_t limit : {-1, 100000}) {
    r = mobrick(limit < 0 ? "1\n/dev/full\n4\n6\n" : "4\n6\n", limit);
    EXPECT_EQ(r.err, "error in write\n");
    EXPECT_EQ(r.status, 1);
  }
  EXPECT_EQ(file("image.p3d").size(), 100000u);
}

TEST_F(MobrickTest, UnwritableMessagesFailTheRun) {
  RunResult r = run_program(MOBRICK_PATH, {}, RunOptions{dir.path(), "5\no\n6\n", "/dev/full", -1});
  EXPECT_EQ(r.err, "mobrick: error writing standard output\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(file("default.dsk").size(), 194816u);  // the work itself was done
}

// Texts of the dialogue that the tests below put together.
std::string progress(const std::string& what, int tracks, int sides) {
  std::string lines;
  for (int t = 0; t < tracks; ++t) {
    for (int h = 0; h < sides; ++h) lines += "\r" + what + " track " + std::to_string(t) + "  head " + std::to_string(h) + " ...  ";
  }
  return lines;
}
const std::string kNamePrompt = "New image file (without .dsk) : ";
const std::string kDdPrompt = "filename of 'dd' image: ";
const std::string kFormatDialogue =
    "Select format :\nd)ata 9x512x40x1; s)ystem 9x512x40x1;v)ortex 9x512x80x2;\n+)3 dos 9x512x40x1; a)mstrad PCW "
    "9x512x80x2;\nm)odify; o)k\nYour choice: Ok.\n";
const std::string kDataDiskSpec = std::string("\x02\0\x28\x09\x02\0\x03\x02\x2A\x52", 10) + std::string(6, '\0');

std::string formatted_data(const std::string& image) {
  return "formatting image file " + image + "\n" + kFormatDialogue + progress("Formatting", 40, 1) + "formatting ok.\n";
}

TEST_F(MobrickTest, TracksThatDoNotFitTheDdLayoutGiveTheCopyUp) {
  const std::string saving = kStart + "Copy Image -> 'dd' file\nreading from image file default.dsk\n"
                                      "writing to 'dd' file image.p3d ...\n";
  const std::vector<int> ten{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, twice{1, 2, 3, 4, 5, 6, 7, 8, 8}, from0{0, 1, 2, 3, 4, 5, 6, 7, 8};
  const std::string t0h0 = track_block(0, 0, 2, kIds, std::string(4608, 'a'));
  const std::string t0h1 = track_block(0, 1, 2, kIds, std::string(4608, 'b'));
  struct { const char* what; std::string image; int tracks_saved; std::string err; size_t dd_size; } cases[] = {
      // ID 10 of side 0 takes the slot of ID 1 of side 1.
      {"ten sectors", disk_info(1, 2) + track_block(0, 0, 2, ten, std::string(5120, 'a')) +
                          track_block(0, 1, 2, ten, std::string(5120, 'b')),
       2, "error: track 0 head 1 doesn't fit a 'dd' file\n", 10 * 512},
      {"1024-byte sectors", disk_info(1, 1) + track_block(0, 0, 3, kIds, std::string(9216, 'a')), 1,
       "error: track 0 head 0 doesn't fit a 'dd' file\n", 0},
      {"an ID twice", disk_info(1, 1) + track_block(0, 0, 2, twice, std::string(4608, 'a')), 1,
       "error: track 0 head 0 doesn't fit a 'dd' file\n", 0},
      // ID 0 of track 1 takes the slot of ID 9 of track 0 side 1.
      {"ID 0 on track 1", disk_info(2, 2) + t0h0 + t0h1 + track_block(1, 0, 2, from0, std::string(4608, 'c')), 3,
       "error: track 1 head 0 doesn't fit a 'dd' file\n", 18 * 512},
      // ID 0 of the very first track has no slot at all.
      {"ID 0 on track 0", disk_info(1, 1) + track_block(0, 0, 2, from0, std::string(4608, 'a')), 1,
       "error in seek\n", 0},
  };
  for (const auto& c : cases) {
    write_file(dir / "default.dsk", c.image);
    write_file(dir / "image.p3d", "old");
    RunResult r = mobrick("4\n6\n");
    const std::string given_up = c.err == "error in seek\n" ? "" : kFailed + kMenu;
    EXPECT_EQ(r.out, saving + progress("Saving", 2, 2).substr(0, 29 * c.tracks_saved) + given_up) << c.what;
    EXPECT_EQ(r.err, c.err) << c.what;
    EXPECT_EQ(r.status, 1) << c.what;
    EXPECT_EQ(file("image.p3d").size(), c.dd_size) << c.what;
  }
  // Sector IDs from 0x41 (SYSTEM) and 0xC1 (DATA) leave slots free, but fit.
  for (auto [keys, size] : {std::pair{"s", 396800u}, {"d", 462336u}}) {
    EXPECT_EQ(mobrick("5\ny\n" + std::string(keys) + "\no\n4\n6\n").status, 0) << keys;
    EXPECT_EQ(file("image.p3d").size(), size) << keys;
  }
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
    EXPECT_TRUE(file("disk.raw") == dump) << name;
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
    EXPECT_TRUE(file("disk.dsk") == image) << name;
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
  EXPECT_EQ(r.status, 0);

  // A script with CRLF line ends.
  r = mobrick("2\r\ndisk\r\n5\r\no\r\n5\r\ny\r\no\r\n6\r\n");
  EXPECT_EQ(r.out, kStart + kNamePrompt + "Image file set to disk.dsk\n" + kMenu + formatted_data("disk.dsk") + kMenu +
                       "formatting image file disk.dsk\nfile already exist. Overwrite (y/n) ? " +
                       formatted_data("disk.dsk").substr(std::string("formatting image file disk.dsk\n").size()) +
                       kMenu);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(file("disk.dsk").size(), 194816u);
}

TEST_F(MobrickTest, QuitFailsOnceAnOperationWasGivenUp) {
  write_file(dir / "default.dsk", "old");
  EXPECT_EQ(mobrick("5\nn\n6\n").status, 0);  // declining is no failure
  // A copy given up ("error opening"), then a good formatting: Quit and the
  // end of input at the menu both fail.
  for (const char* end : {"6\n", ""}) {
    std::filesystem::remove(dir / "new.dsk");
    RunResult r = mobrick("2\nnew\n4\n5\no\n" + std::string(end));
    EXPECT_EQ(r.out, kStart + kNamePrompt + "Image file set to new.dsk\n" + kMenu +
                         "Copy Image -> 'dd' file\nreading from image file new.dsk\n" + kMenu + formatted_data("new.dsk") +
                         kMenu);
    EXPECT_EQ(r.err, "error opening new.dsk\n");
    EXPECT_EQ(r.status, 1);
  }
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
  EXPECT_EQ(r.out, kStart + "formatting image file default.dsk\nfile already exist. Overwrite (y/n) ? " + kMenu);
  EXPECT_EQ(r.status, 0);
  ASSERT_EQ(chmod((dir / "default.dsk").c_str(), 0600), 0);
  EXPECT_EQ(file("default.dsk"), "old");
}

TEST_F(MobrickTest, ClosedStandardStreamsTakeNoFile) {
  RunResult r = run_program("/bin/sh", {"-c", "exec \"$0\" >&-", MOBRICK_PATH}, RunOptions{dir.path(), "5\no\n6\n", "", -1});
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "mobrick: error writing standard output\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(file("default.dsk") == expected_image(40, 1, 0xC1, kDataDiskSpec));
  r = run_program("/bin/sh", {"-c", "exec \"$0\" <&-", MOBRICK_PATH}, RunOptions{dir.path(), "", "", -1});
  EXPECT_EQ(r.out, kStart);
  EXPECT_EQ(r.err, "mobrick: error reading standard input\n");
  EXPECT_EQ(r.status, 1);
}

}  // namespace
