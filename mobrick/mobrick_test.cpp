// End-to-end tests of mobrick; libdsk, an independent reader and writer of DSK images, as a client of its images.
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>  // libdsk.h needs size_t declared first
#include <functional>

#include <libdsk.h>

#include "run_program.h"

namespace {

using std::string;

const string kMenu = "\n\n1) Set 'dd' file\n2) Set Image file\n3) Copy 'dd' file -> Image\n4) Copy Image -> 'dd' file\n"
                     "5) Format disk\n6) Quit\n\nYour choice: ";
const string kFullFormats = "d)ata 9x512x40x1; s)ystem 9x512x40x1;v)ortex 9x512x80x2;\n+)3 dos 9x512x40x1; a)mstrad "
                            "PCW 9x512x80x2;\nm)odify; o)k\nYour choice: ";
const string kTwoSided = "v)ortex 9x512x80x2; a)mstrad PCW 9x512x80x2;\nm)odify; o)k\nYour choice: ";
const string kOverwrite = "file already exist. Overwrite (y/n) ? ", kDdPrompt = "filename of 'dd' image: ";
const string kFormatting = "formatting image file default.dsk\n", kNamePrompt = "New image file (without .dsk) : ";
const string kCopyIn =
    "Copy 'dd' file -> Image\nreading from 'dd' file image.p3d.\nwriting to image file default.dsk\n";
const string kCopyOut = "Copy Image -> 'dd' file\nreading from image file default.dsk\n";
const string kWritingDd = "writing to 'dd' file image.p3d ...\n", kFailed = "Operation terminated incorrectly.\n";
const string kData;  // disk records: none on DATA, whose first sector is the directory's; SYSTEM, +3, PCW
const string kSystem("\x01\0\x28\x09\x02\x02\x03\x02\x2A\x52\0\0\0\0\0\0", 16);
const string kPlus3("\0\0\x28\x09\x02\x01\x03\x02\x2A\x52\0\0\0\0\0\0", 16);
const string kPcw("\x03\x01\x50\x09\x02\x01\x04\x04\x2A\x52\0\0\0\0\0\0", 16);
const std::vector<int> kIds{1, 2, 3, 4, 5, 6, 7, 8, 9};

string disk_info(int tracks, int sides) {
  const string magic = "MV - CPCEMU Disk-File\r\nDisk-Info\r\n";
  return magic + string(14, '\0') + char(tracks) + char(sides) + string("\0\x13", 2) + string(204, '\0');
}

// A Track-Info block with one list entry per ID (plus `base`), then the sector data.
string track_block(int track, int side, int size, const std::vector<int>& ids, const string& data, int base = 0) {
  string block = "Track-Info\r\n" + string(4, '\0') + char(track) + char(side) + string(2, '\0') + char(size);
  block += {char(ids.size()), 0x4E, char(0xE5)};
  for (int id : ids) block += {char(track), char(side), char(base + id), char(size), 0, 0, 0, 0};
  return block + string(256 - block.size(), '\0') + data;
}

// A 9 x 512 image with IDs from `first`: track block i holds the 4608 bytes of `dump` at i x 4608 or, with no
// dump, 0xE5 and `record` at the very start.
string expected_image(int tracks, int sides, int first, const string& record, const string& dump = "") {
  string image = disk_info(tracks, sides), blank = record + string(4608 - record.size(), '\xE5');
  for (int i = 0; i < tracks * sides; ++i) {
    image += track_block(i / sides, i % sides, 2, kIds, dump.empty() ? blank : dump.substr(i * 4608, 4608), first - 1);
    blank.replace(0, record.size(), record.size(), '\xE5');
  }
  return image;
}

const string kDump = [] {  // a 720K disk of sectors of pseudo-random bytes
  string bytes(737280, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = char(i * 2654435761u >> 13);
  return bytes;
}();

string progress(const string& verb, int blocks, int sides) {  // "\r<verb> track t  head h ...  " per track block
  string text;
  for (int i = 0; i < blocks; ++i) {
    text += "\r" + verb + " track " + std::to_string(i / sides) + "  head " + std::to_string(i % sides) + " ...  ";
  }
  return text;
}

struct TestCleanup {  // runs `undo` when it goes, also after a failed check
  std::function<void()> undo;
  ~TestCleanup() { undo(); }
};

class MobrickTest : public ::testing::Test {
 protected:
  // Runs the shell line `command` in `dir` on `input`, "$0" naming mobrick.
  RunResult sh(const string& command, const string& input = "", int64_t file_size_limit = -1) {
    return run_program("/bin/sh", {"-c", command, MOBRICK_PATH}, {dir.path(), input, "", file_size_limit, nullptr});
  }
  // Runs mobrick through `shell` on `input`; checks the whole run: the banner and menu, then `out`; `err`; `status`.
  void expect_run(const string& input, const string& out, const string& err, int status,
                  const string& shell = "exec \"$0\"", int64_t file_size_limit = -1) {
    ::expect_run(sh(shell, input, file_size_limit), kStart + out, err, status, shell + " < " + input.substr(0, 60));
  }
  string file(const string& name) { return read_file(dir / name); }
  const string kStart = "\n\nMOBRICK v0.2\n(Transfer CPC/+3/PCW-disks to disk-images and vice versa)\n"
                        "(and make newly formatted disks)" + kMenu;
  TempDir dir;
};

TEST_F(MobrickTest, MenuAnswersNamesAndTheEndOfInput) {
  // Every answer is one whole line, without a carriage return right before its newline.
  const string bad = " only 1-6 : " + kMenu, dd(4095, 'd'), image = string(4091, 'z') + ".dsk";
  auto set = [](const string& name) { return kNamePrompt + "Image file set to " + name + "\n" + kMenu; };
  write_file(dir / "image.p3d", "keep");
  expect_run("7\n\nx\n" + string(79, 'a') + "4\n2\ndisk\n2\ndisk.img\n2\n../disk\n2\n\n2\r\ncrlf\r\n2\n" +
                 string(4092, 'w') + "\n2\n" + image.substr(0, 4091) + "\n5\n3\n4x\n1\n" + dd + "d\n1\n" + dd + "\n3\n",
             bad + bad + bad + bad + set("disk.dsk") + set("disk.img") + set("../disk") + set(".dsk") +
                 set("crlf.dsk") + kNamePrompt + "name too long\n" + kMenu + set(image) + "formatting image file " +
                 image + "\nerror opening " + image + "\n" + kMenu + "Copy 'dd' file -> Image\nreading from 'dd' file "
                 "image.p3d.\nwriting to image file " + image + "\nerror opening " + image + "\n" + kMenu +
                 "Copy Image -> 'dd' file\nreading from image file " + image + "\n" + kMenu + kDdPrompt +
                 "name too long\n" + kMenu + kDdPrompt + kMenu + "Copy 'dd' file -> Image\nreading from 'dd' file " +
                 dd + ".\nwriting to image file " + image + "\n",
             "error opening " + image + "\nerror: can't open " + dd + "\n", 1);
  EXPECT_EQ(file("image.p3d"), "keep");
  // The end of input quits at the menu, failing once an operation was given up, and fails the run at any prompt.
  expect_run("", "", "", 0);
  expect_run("4\n", kCopyOut + kMenu, "error opening default.dsk\n", 1);
  struct { const char* input; string out, image; } cases[] = {
      {"1\n", kDdPrompt, "old"}, {"2\n", kNamePrompt, "old"}, {"5\n", kFormatting + kOverwrite, "old"},
      {"3\n", kCopyIn + kOverwrite, "old"},  // from here on the image is emptied before the format dialogue
      {"5\ny\nd\n", kFormatting + kOverwrite + "Select format :\n" + kFullFormats + "DATA-format set.\n" + kFullFormats,
       ""},
      {"3\ny\nv\n", kCopyIn + kOverwrite + "Select format :\n" + kTwoSided + "VORTEX-format set.\n" + kTwoSided, ""}};
  for (const auto& c : cases) {
    write_file(dir / "default.dsk", "old");
    expect_run(c.input, c.out, "", 1);
    EXPECT_EQ(file("default.dsk"), c.image) << c.input;
  }
  // Closed standard streams: the image does not take the place of the output.
  ::expect_run(sh("exec \"$0\" >&-", "5\ny\no\n6\n"), "", "mobrick: error writing standard output\n", 1);
  EXPECT_PRED_FORMAT2(SameBytes, file("default.dsk"), expected_image(40, 1, 0xC1, kData));
  expect_run("", "", "mobrick: error reading standard input\n", 1, "exec \"$0\" <&-");
}

TEST_F(MobrickTest, FormatsAllFiveAfterTheOverwriteQuestion) {
  // A copy of 18 sectors leaves a Track-Info block of 18 entries read; formatting writes its own blocks of 9.
  const std::vector<int> eighteen{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18};
  write_file(dir / "default.dsk", disk_info(1, 1) + track_block(0, 0, 2, eighteen, kDump.substr(0, 9216)));
  const int socket_fd = socket(AF_UNIX, SOCK_STREAM, 0);  // s.dsk: a file that cannot be opened for reading
  const TestCleanup closing{[socket_fd] { close(socket_fd); }};
  sockaddr_un address{AF_UNIX, {}};
  (dir / "s.dsk").copy(address.sun_path, sizeof address.sun_path - 1);
  ASSERT_EQ(bind(socket_fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
  const string asked = kFormatting + kOverwrite, no = asked + kMenu, to_s = "Image file set to s.dsk\n" + kMenu;
  expect_run("4\n3\nn\n5\nn\n5\no\n5\nx\n5\n\n5\nY\no\n2\ns\n5\nn\n6\n", kCopyOut + kWritingDd +
                 progress("Saving", 1, 1) + "transfer ok.\n" + kMenu + kCopyIn + kOverwrite + kMenu + no + no + no +
                 no + asked + "Select format :\n" + kFullFormats + "Ok.\n" + progress("Formatting", 40, 1) +
                 "formatting ok.\n" + kMenu + kNamePrompt + to_s + "formatting image file s.dsk\n" + kOverwrite + kMenu,
             "", 0);
  EXPECT_PRED_FORMAT2(SameBytes, file("default.dsk"), expected_image(40, 1, 0xC1, kData));
  struct { const char* keys; std::vector<string> messages; int tracks, sides, first_id; string record; } cases[] = {
      {"a\nS\no", {"Amstrad PCW-format set.", "SYSTEM-format set.", "Ok."}, 40, 1, 0x41, kSystem},
      {"V\nOk", {"VORTEX-format set.", "Ok."}, 80, 2, 1, kPcw},
      {"m\n0\n+\no", {"Modify: not implemented.", "unknown format.", "+3 DOS-format set.", "Ok."}, 40, 1, 1, kPlus3},
      {"d\na\no", {"DATA-format set.", "Amstrad PCW-format set.", "Ok."}, 80, 2, 1, kPcw}};
  for (const auto& c : cases) {
    string dialogue = asked + "Select format :\n";
    for (const string& message : c.messages) dialogue += kFullFormats + message + "\n";
    expect_run("5\ny\n" + string(c.keys) + "\n6\n", dialogue + progress("Formatting", c.tracks * c.sides, c.sides) +
                   "formatting ok.\n" + kMenu, "", 0);
    EXPECT_PRED_FORMAT2(SameBytes, file("default.dsk"), expected_image(c.tracks, c.sides, c.first_id, c.record))
        << c.keys;
  }
}

TEST_F(MobrickTest, ImagesIntoDdFilesOfEveryKind) {
  auto saving = [](int blocks, int sides) { return kWritingDd + progress("Saving", blocks, sides); };
  auto unfit = [](const char* track) { return "error: track " + string(track) + " doesn't fit a 'dd' file\n"; };
  const string one = disk_info(1, 1), a(9216, 'a'), b(4608, 'b'), t0 = track_block(0, 0, 2, kIds, b), s1 = saving(1, 1);
  const string ok = "transfer ok.\n" + kMenu, failed = kFailed + kMenu, read = "error fread()\n";
  // A DATA disk, IDs 0xC1 to 0xC9, side 0 only: its 40 tracks from slot 192 on, 9216 bytes apart.
  string data_disk = string(192 * 512, '\0') + string(4608, '\xE5');
  for (int t = 1; t < 40; ++t) data_disk += string(4608, '\0') + string(4608, '\xE5');
  // `shown`: what stands between the heading and `end`, empty where the run ends.
  struct { const char* what; string image, shown, end, err, dd; } cases[] = {
      // A 256-byte sector fills the front of its slot and zeros the rest, not what the buffer held.
      {"256-byte sectors", disk_info(2, 1) + t0 + track_block(1, 0, 1, {1}, a.substr(0, 256)), saving(2, 1), ok, "",
       b + string(4608, '\0') + a.substr(0, 256) + string(256, '\0')},
      {"DATA", expected_image(40, 1, 0xC1, kData), saving(40, 1), ok, "", data_disk},
      {"no tracks", "MV - CPC" + string(300, '\0'), kWritingDd, ok, "", ""},
      {"no sectors", one + track_block(0, 0, 3, {}, ""), s1, ok, "", ""},
      {"no magic", "MV - CPX" + one.substr(8), "", failed, "", "keep"},
      {"short Disk-Info", one.substr(0, 255), "", failed, read, "keep"},
      {"side 0 twice", disk_info(1, 2) + t0 + t0, saving(2, 2), failed, "", b},
      {"track 1 for side 1", disk_info(1, 2) + t0 + track_block(1, 0, 2, kIds, b), saving(2, 2), failed, "", b},
      {"19 sectors", one + track_block(0, 0, 2, std::vector<int>(19, 1), a + b.substr(0, 512)), s1, failed, "", ""},
      {"size code 6", one + track_block(0, 0, 6, {1}, a.substr(0, 8192)), s1, failed, "", ""},
      {"no Track magic", one + "Trace" + t0.substr(5), s1, failed, "", ""},
      {"ends in sector 8", one + t0.substr(0, 4000), s1, failed, read, b.substr(0, 3584)},
      {"1024-byte sectors", one + track_block(0, 0, 3, kIds, a), s1, failed, unfit("0 head 0"), ""},
      {"an ID twice", one + track_block(0, 0, 2, {1, 2, 3, 4, 5, 6, 7, 8, 8}, b), s1, failed, unfit("0 head 0"), ""},
      // ID 0 of track 1 takes the slot of ID 9 of track 0 side 1; on track 0 side 0 it has none.
      {"ID 0 on track 1", disk_info(2, 2) + t0 + track_block(0, 1, 2, kIds, a.substr(0, 4608)) +
       track_block(1, 0, 2, kIds, b, -1), saving(3, 2), failed, unfit("1 head 0"), b + a.substr(0, 4608)},
      {"ID 0 on track 0", one + track_block(0, 0, 2, kIds, b, -1), s1, "", "error in seek\n", ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    write_file(dir / "default.dsk", c.image);
    write_file(dir / "image.p3d", "keep");
    const string once = kCopyOut + c.shown + c.end;  // two copies in one run: the second writes the same slots
    const bool ends = c.end.empty();
    expect_run("4\n4\n6\n", once + (ends ? "" : once), ends ? c.err : c.err + c.err, c.end == ok ? 0 : 1);
    EXPECT_PRED_FORMAT2(SameBytes, file("image.p3d"), c.dd);
  }
  write_file(dir / "default.dsk", disk_info(0, 0));
  // A 'dd' file that cannot be used leaves both files as they were. A FIFO with a reader and a writer opens without
  // waiting. With standard error into standard output, as in a log, the note follows the lines printed before it.
  const string run = "exec \"$0\"", fifo = "exec 3<>image.p3d; exec \"$0\"", seek = "error in seek\n";
  const string folder = "error: can't open image.p3d\n", same = "error: image.p3d and default.dsk are the same file\n";
  struct { const char* make_dd; string choice, shell, err, end; } dd_files[] = {
      {"mkdir image.p3d", "3", "exec \"$0\" 2>&1", "", folder}, {"mkfifo image.p3d", "3", fifo, seek, ""},
      {"mkdir image.p3d", "4", run, folder, ""}, {"mkfifo image.p3d", "4", fifo, seek, ""},
      {"ln -s default.dsk image.p3d", "3", run, same, failed}, {"ln default.dsk image.p3d", "4", run, same, failed}};
  for (const auto& c : dd_files) {
    SCOPED_TRACE(c.make_dd);
    ASSERT_EQ(sh(string("rm -rf image.p3d && ") + c.make_dd).status, 0);
    expect_run(c.choice + "\n6\n", (c.choice == "3" ? kCopyIn : kCopyOut) + c.end, c.err, 1, c.shell);
    EXPECT_PRED_FORMAT2(SameBytes, file("default.dsk"), disk_info(0, 0));
  }
}

TEST_F(MobrickTest, CopiesOfAFullDumpThroughLibdskAndFullDisks) {
  write_file(dir / "image.p3d", kDump);
  const string unknown = kTwoSided + "unknown format.\n";  // the two-sided menu has no d, s or +
  expect_run("3\nd\ns\n+\no\n6\n", kCopyIn + "Select format :\n" + unknown + unknown + unknown + kTwoSided + "Ok.\n" +
                 progress("Loading", 160, 2) + "transfer ok.\n" + kMenu, "", 0);
  const string copied = expected_image(80, 2, 1, "", kDump);
  EXPECT_PRED_FORMAT2(SameBytes, file("default.dsk"), copied);
  DSK_PDRIVER drive = nullptr;
  DSK_GEOMETRY geometry;  // of FMT_720K: 80 x 2 x 9 sectors of 512 bytes, IDs 1 to 9
  ASSERT_EQ(dsk_open(&drive, (dir / "default.dsk").c_str(), "dsk", nullptr), DSK_ERR_OK);
  string read_by_id(737280, '\0');  // by track, side and ID
  dg_stdformat(&geometry, FMT_720K, nullptr, nullptr);
  for (int i = 0; i < 1440; ++i) dsk_pread(drive, &geometry, &read_by_id[i * 512], i / 18, i / 9 % 2, i % 9 + 1);
  dsk_close(&drive);
  EXPECT_PRED_FORMAT2(SameBytes, read_by_id, kDump);
  // An image reaches the file through a buffer of 4096 or 8192 bytes. Each limit lies less than 4096 bytes below a
  // multiple of 8192, so that both fail at one write: in track 1, the Track-Info block of track 5, track 33, the close.
  auto formatting = [](int blocks) {
    return kFormatting + kOverwrite + "Select format :\n" + kFullFormats + "Ok.\n" + progress("Formatting", blocks, 1);
  };
  auto loading = [](int blocks) {
    return kCopyIn + kOverwrite + "Select format :\n" + kTwoSided + "Ok.\n" + progress("Loading", blocks, 2);
  };
  const string data = expected_image(40, 1, 0xC1, kData), format = "5\ny\no\n6\n", copy = "3\ny\no\n6\n";
  struct { string input; int64_t limit; string shown, image; } full_disks[] = {
      {format, 5000, formatting(2), data}, {format, 24575, formatting(6), data}, {format, 162840, formatting(34), data},
      {format, 194816 - 100, formatting(40), data}, {copy, 5000, loading(2), copied},
      {copy, 778496 - 100, loading(160), copied}};
  for (const auto& c : full_disks) {
    expect_run(c.input, c.shown + kFailed + kMenu, "error fwrite()\n", 1, "exec \"$0\"", c.limit);
    EXPECT_PRED_FORMAT2(SameBytes, file("default.dsk"), c.image.substr(0, c.limit)) << c.limit;
  }
  ASSERT_EQ(sh(DSKTRANS_PATH " -itype raw -otype dsk -format pcw720 image.p3d default.dsk").status, 0);
  write_file(dir / "image.p3d", "old");
  expect_run("4\n6\n", kCopyOut + kWritingDd + progress("Saving", 160, 2) + "transfer ok.\n" + kMenu, "", 0);
  EXPECT_PRED_FORMAT2(SameBytes, file("image.p3d"), kDump);
  // The 'dd' file is written unbuffered: slot 195, of track 10 head 1, fails.
  expect_run("4\n6\n", kCopyOut + kWritingDd + progress("Saving", 22, 2), "error in write\n", 1, "exec \"$0\"", 100000);
  EXPECT_PRED_FORMAT2(SameBytes, file("image.p3d"), kDump.substr(0, 100000));
  write_file(dir / "image.p3d", kDump.substr(0, 10000));  // ends in the first sector of track 1
  expect_run(copy, loading(3), "error in read\n", 1);
  EXPECT_PRED_FORMAT2(SameBytes, file("default.dsk"), copied.substr(0, 10752));
}

TEST_F(MobrickTest, ACopyToADeviceEndsOnlyWhenTheDeviceHasTheSectors) {
  write_file(dir / "default.dsk", expected_image(80, 2, 1, "", kDump));
  // A loop device over a file on a tmpfs loses what does not fit it: 64 KiB hold 128 sectors, 1 MiB all of them.
  struct { const char* room; string end, err; int status; } cases[] = {
      {"64k", "", "error in write\n", 1}, {"1m", "transfer ok.\n" + kMenu, "", 0}};
  for (const auto& c : cases) {
    const RunResult loop = sh("mkdir -p room && mount -t tmpfs -o size=" + string(c.room) + " tmpfs room && "
                              "truncate -s 737280 room/b && device=$(losetup -f --show room/b) && printf %s $device");
    const TestCleanup detach{[&] { sh("losetup -d " + loop.out + "; umount room"); }};
    if (loop.status != 0) GTEST_SKIP() << "no loop device on a tmpfs: " << loop.err;
    expect_run("1\n" + loop.out + "\n4\n6\n", kDdPrompt + kMenu + kCopyOut + "writing to 'dd' file " + loop.out +
                   " ...\n" + progress("Saving", 160, 2) + c.end, c.err, c.status);
    if (c.status == 0) {
      EXPECT_PRED_FORMAT2(SameBytes, file("room/b"), kDump);  // what reached the file behind the device
    }
  }
}

}  // namespace
