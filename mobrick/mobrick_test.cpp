// End-to-end tests of mobrick, one behaviour a case; libdsk's dsktrans, an independent reader and writer of DSK
// images, and cpmtools' fsck.cpm as clients of its images.
#include <sys/stat.h>
#include <unistd.h>

#include <optional>

#include "run_program.h"

namespace {

using std::string;
using Bytes = std::optional<string>;  // a file's content; none: there is no such file

constexpr int kTrackBytes = 4608;  // nine sectors of 512 bytes, in every format
// A disk format as its images hold it, and the disk record that begins it when formatted ("" for none).
struct Format { int tracks, sides, first_id; string record; };
const Format kData{40, 1, 0xC1, ""};
const Format kSystem{40, 1, 0x41, string("\x01\0\x28\x09\x02\x02\x03\x02\x2A\x52\0\0\0\0\0\0", 16)};
const Format kPlus3{40, 1, 1, string("\0\0\x28\x09\x02\x01\x03\x02\x2A\x52\0\0\0\0\0\0", 16)};
const Format kPcw{80, 2, 1, string("\x03\x01\x50\x09\x02\x01\x04\x04\x2A\x52\0\0\0\0\0\0", 16)};

const string kMenu = "\n\n1) Set 'dd' file\n2) Set Image file\n3) Copy 'dd' file -> Image\n4) Copy Image -> 'dd' file\n"
                     "5) Format disk\n6) Quit\n\nYour choice: ";
const string kStart = "\n\nMOBRICK v0.2\n(Transfer CPC/+3/PCW-disks to disk-images and vice versa)\n"
                      "(and make newly formatted disks)" + kMenu;
const string kFullMenu = "Select format :\nd)ata 9x512x40x1; s)ystem 9x512x40x1;v)ortex 9x512x80x2;\n+)3 dos "
                         "9x512x40x1; a)mstrad PCW 9x512x80x2;\nm)odify; o)k\nYour choice: ";
const string kCopyMenu = "Select format :\nv)ortex 9x512x80x2; a)mstrad PCW 9x512x80x2;\nm)odify; o)k\nYour choice: ";
const string kAsk = "file already exist. Overwrite (y/n) ? ", kFormatting = "formatting image file default.dsk\n";
const string kCopyIn = "Copy 'dd' file -> Image\nreading from 'dd' file image.p3d.\nwriting to image file "
                       "default.dsk\n";
const string kCopyOut = "Copy Image -> 'dd' file\nreading from image file default.dsk\n";
const string kWritingDd = "writing to 'dd' file image.p3d ...\n", kDdPrompt = "filename of 'dd' image: ";
const string kFailed = "Operation terminated incorrectly.\n" + kMenu, kCopied = "transfer ok.\n" + kMenu;

std::vector<int> ids(int first, int count = 9) {
  std::vector<int> list;
  while (count-- > 0) list.push_back(first++);
  return list;
}

string disk_info(int tracks, int sides) {  // track blocks of 4864 bytes
  return "MV - CPCEMU Disk-File\r\nDisk-Info\r\n" + string(14, '\0') + char(tracks) + char(sides) +
         string("\0\x13", 2) + string(204, '\0');
}

// A Track-Info block with one list entry per ID, then the sector data.
string track_block(int track, int side, int size, const std::vector<int>& list, const string& data) {
  string block = "Track-Info\r\n" + string(4, '\0') + char(track) + char(side) + string(2, '\0') + char(size);
  block += {char(list.size()), 0x4E, char(0xE5)};
  for (int id : list) block += {char(track), char(side), char(id), char(size), 0, 0, 0, 0};
  return block + string(256 - block.size(), '\0') + data;
}

// An image of `f` whose sectors hold `data` in image order or, with no data, 0xE5 behind the format's record.
string image(const Format& f, string data = "") {
  const int blocks = f.tracks * f.sides;
  if (data.empty()) data = f.record + string(blocks * kTrackBytes - f.record.size(), '\xE5');
  string bytes = disk_info(f.tracks, f.sides);
  for (int i = 0; i < blocks; ++i) {
    bytes += track_block(i / f.sides, i % f.sides, 2, ids(f.first_id), data.substr(i * kTrackBytes, kTrackBytes));
  }
  return bytes;
}

const string kDump = [] {  // a 720K disk of sectors of pseudo-random bytes
  string bytes(737280, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = char(i * 2654435761u >> 13);
  return bytes;
}();

string progress(const string& verb, int blocks, int sides = 1) {  // "\r<verb> track t  head h ...  " a track block
  string text;
  for (int i = 0; i < blocks; ++i) {
    text += "\r" + verb + " track " + std::to_string(i / sides) + "  head " + std::to_string(i % sides) + " ...  ";
  }
  return text;
}
const string kFormatted = kFullMenu + "Ok.\n" + progress("Formatting", 40) + "formatting ok.\n" + kMenu;
const string kLoading = kCopyIn + kAsk + kCopyMenu + "Ok.\n";
constexpr char kRun[] = "exec \"$0\"", kDd[] = "image.p3d", kDsk[] = "default.dsk";

// A run in a fresh folder: the answers typed, the whole output after the banner and the menu, standard error, the
// exit status; the image and the 'dd' file before it, and the file `checked` after it.
struct Case {
  const char* name;
  string input, out, err;
  int status;
  Bytes dsk{}, after{}, dd{};
  const char* checked = kDsk;
  string shell = kRun;            // a shell line, "$0" naming mobrick
  const char* diskdef = nullptr;  // cpmtools' name of the format of a formatted image
};

class MobrickTest : public ::testing::Test {
 protected:
  RunResult sh(const string& command, const string& input = "") {
    return run_program("/bin/sh", {"-c", command, MOBRICK_PATH}, {dir->path(), input});
  }
  void check(const Case& c) {
    dir.emplace();
    if (c.dd) write_file(*dir / kDd, *c.dd);
    if (c.dsk) write_file(*dir / kDsk, *c.dsk);
    const RunResult run = sh(c.shell, c.input);
    if (run.status == 77) GTEST_SKIP() << c.name << ": what the run needs is not here: " << run.err;
    ::expect_run(run, kStart + c.out, c.err, c.status, c.name + (", input " + c.input.substr(0, 60)));
    EXPECT_EQ(file_exists(*dir / c.checked), c.after.has_value()) << c.name;
    EXPECT_PRED_FORMAT2(SameBytes, file(c.checked), c.after.value_or("")) << c.name;
    if (c.diskdef == nullptr || *FSCK_CPM_PATH == '\0') return;  // cpmtools finds an empty, sound file system
    const RunResult fsck = run_program(FSCK_CPM_PATH, {"-n", "-f", c.diskdef, "-T", "dsk", *dir / kDsk});
    EXPECT_EQ(fsck.status, 0) << c.name << ": " << fsck.out << fsck.err;
  }
  string file(const string& name) { return read_file(*dir / name); }
  std::optional<TempDir> dir{std::in_place};
};

TEST_F(MobrickTest, Dialogue) {
  const string bad = " only 1-6 : " + kMenu, d(4095, 'd'), z = string(4091, 'z') + ".dsk", data = image(kData);
  const string name_prompt = "New image file (without .dsk) : ";
  auto set = [&](const string& name) { return name_prompt + "Image file set to " + name + "\n" + kMenu; };
  const string eighteen = disk_info(1, 1) + track_block(0, 0, 2, ids(1, 18), kDump.substr(0, 2 * kTrackBytes));
  // Formatting, typing `keys` at the format menu, each key before the last answered with its message.
  auto formatted = [](const char* name, const string& keys, const std::vector<string>& messages, const Format& f,
                      const char* diskdef) {
    string out = kFormatting + kFullMenu;
    for (const string& message : messages) out += message + "\n" + kFullMenu.substr(16);
    out += "Ok.\n" + progress("Formatting", f.tracks * f.sides, f.sides) + "formatting ok.\n" + kMenu;
    return Case{name, "5\n" + keys + "\n", out, "", 0, {}, image(f), {}, kDsk, kRun, diskdef};
  };
  const Bytes none, old = "old", keep = "keep";
  const Case cases[] = {
      {"long answer is one", string(79, 'a') + "4\n", bad, "", 0},
      {"4x is 4", "4x\n", kCopyOut + kMenu, "error opening default.dsk\n", 1},
      {"any dot keeps it", "2\n../disk\n", set("../disk"), "", 0},
      {"empty name", "2\n\n", set(".dsk"), "", 0},
      {"CRLF line ends", "2\r\ncrlf\r\n", set("crlf.dsk"), "", 0},
      {"name too long", "2\n" + string(4092, 'w') + "\n", name_prompt + "name too long\n" + kMenu, "", 0},
      {"longest name", "2\n" + z.substr(0, 4091) + "\n5\n", set(z) + "formatting image file " + z + "\nerror opening " +
       z + "\n" + kMenu, "", 1},
      {"dd name too long", "1\n" + d + "d\n3\n", kDdPrompt + "name too long\n" + kMenu + kCopyIn + kCopyMenu, "", 1,
       none, "", keep},
      {"longest dd name", "1\n" + d + "\n3\n", kDdPrompt + kMenu + "Copy 'dd' file -> Image\nreading from 'dd' file " +
       d + ".\nwriting to image file default.dsk\n", "error: can't open " + d + "\n", 1},
      {"Y overwrites", "5\nY\no\n", kFormatting + kAsk + kFormatted, "", 0, old, data},
      {"n keeps", "5\nn\n", kFormatting + kAsk + kMenu, "", 0, old, old},
      {"copy: n keeps", "3\nn\n", kCopyIn + kAsk + kMenu, "", 0, old, old, keep},
      {"18 entries, then 9", "4\n5\ny\no\n", kCopyOut + kWritingDd + progress("Saving", 1) + kCopied + kFormatting +
       kAsk + kFormatted, "", 0, eighteen, data},
      // The end of input at a prompt fails the run; from the format menu on, the image has been emptied.
      {"ends at a name", "1\n", kDdPrompt, "", 1},
      {"ends at the question", "5\n", kFormatting + kAsk, "", 1, old, old},
      {"ends in format menu", "5\ny\nd\n", kFormatting + kAsk + kFullMenu + "DATA-format set.\n" +
       kFullMenu.substr(16), "", 1, old, ""},
      {"closed input", "", "", "mobrick: error reading standard input\n", 1, none, none, none, kDsk, "exec \"$0\" <&-"},
      formatted("S is s", "S\no", {"SYSTEM-format set."}, kSystem, "cpcsys"),
      formatted("Ok is o", "v\nOk", {"VORTEX-format set."}, kPcw, "cf2dd"),
      formatted("+3 DOS", "+\no", {"+3 DOS-format set."}, kPlus3, "pcw"),
      formatted("the last wins", "d\na\no", {"DATA-format set.", "Amstrad PCW-format set."}, kPcw, "cf2dd"),
      formatted("m changes nothing", "m\no", {"Modify: not implemented."}, kData, "cpcdata"),
      formatted("0 is no o", "0\no", {"unknown format."}, kData, "cpcdata")};
  for (const Case& c : cases) check(c);
  // Closed output: the image does not take its place, and the lost messages fail the run.
  dir.emplace();
  ::expect_run(sh("exec \"$0\" >&-", "5\no\n"), "", "mobrick: error writing standard output\n", 1, "closed output");
  EXPECT_PRED_FORMAT2(SameBytes, file(kDsk), data) << "closed output";
  if (*FSCK_CPM_PATH == '\0') GTEST_SKIP() << "no fsck.cpm: the formatted images were checked by their bytes only";
}

TEST_F(MobrickTest, ImagesIntoDdFiles) {
  auto saving = [](int blocks, int sides) { return kWritingDd + progress("Saving", blocks, sides); };
  auto unfit = [](const char* track) { return "error: track " + string(track) + " doesn't fit a 'dd' file\n"; };
  const string one = disk_info(1, 1), a(9216, 'a'), b(4608, 'b'), t0 = track_block(0, 0, 2, ids(1), b);
  const string s1 = saving(1, 1), read = "error fread()\n";
  // `shown`: what stands between the heading and `end`, empty where the run ends.
  struct { const char* name; string image, shown, end, err, dd; } cases[] = {
      // A 256-byte sector fills the front of its slot and zeros the rest, not what the buffer held.
      {"256-byte sectors", disk_info(2, 1) + t0 + track_block(1, 0, 1, {1}, a.substr(0, 256)), saving(2, 1), kCopied,
       "", b + string(4608, '\0') + a.substr(0, 256) + string(256, '\0')},
      {"no tracks", "MV - CPC" + string(300, '\0'), kWritingDd, kCopied, "", ""},
      {"no sectors", one + track_block(0, 0, 3, {}, ""), s1, kCopied, "", ""},
      {"no magic", "MV - CPX" + one.substr(8), "", kFailed, "", "keep"},
      {"short Disk-Info", one.substr(0, 255), "", kFailed, read, "keep"},
      {"short Track-Info", one + t0.substr(0, 20), s1, kFailed, read, ""},
      {"side 0 twice", disk_info(1, 2) + t0 + t0, saving(2, 2), kFailed, "", b},
      {"track 0 twice", disk_info(2, 1) + t0 + t0, saving(2, 1), kFailed, "", b},
      {"19 sectors", one + track_block(0, 0, 2, std::vector<int>(19, 1), a + b.substr(0, 512)), s1, kFailed, "", ""},
      {"size code 6", one + track_block(0, 0, 6, {1}, a.substr(0, 8192)), s1, kFailed, "", ""},
      {"no Track magic", one + "Trace" + t0.substr(5), s1, kFailed, "", ""},
      {"ends in sector 8", one + t0.substr(0, 4000), s1, kFailed, read, b.substr(0, 3584)},
      {"1024-byte sectors", one + track_block(0, 0, 3, ids(1), a), s1, kFailed, unfit("0 head 0"), ""},
      {"an ID twice", one + track_block(0, 0, 2, {1, 2, 3, 4, 5, 6, 7, 8, 8}, b), s1, kFailed, unfit("0 head 0"), ""},
      {"ID 0 on track 0", one + track_block(0, 0, 2, ids(0), b), s1, "", "error in seek\n", ""}};
  for (const auto& c : cases) {  // two copies in one run: the second writes the same slots
    const string once = kCopyOut + c.shown + c.end, err = c.end.empty() ? c.err : c.err + c.err;
    check({c.name, "4\n4\n", c.end.empty() ? once : once + once, err, c.end == kCopied ? 0 : 1, c.image, c.dd, "keep",
           kDd});
  }
}

TEST_F(MobrickTest, DdFilesThatCannotBeUsed) {
  // Refused before anything is asked, both files as they were. A FIFO that nobody opens at the other end would hold
  // an open for ever: timeout ends such a run after 10 s, and it fails.
  const string before = disk_info(0, 0), same = "error: image.p3d and default.dsk are the same file\n";
  const Case cases[] = {
      // With standard error into standard output, as in a log, the note follows the lines printed before it.
      {"folder to copy from", "3\n", kCopyIn + "error: can't open image.p3d\n", "", 1, before, before, {}, kDsk,
       "mkdir image.p3d && exec \"$0\" 2>&1"},
      {"FIFO to copy from", "3\n", kCopyIn, "error in seek\n", 1, before, before, {}, kDsk,
       "mkfifo image.p3d && exec timeout 10 \"$0\""},
      {"socket to copy into", "4\n", kCopyOut, "error in seek\n", 1, before, before, {}, kDsk,
       "perl -MIO::Socket::UNIX -e 'IO::Socket::UNIX->new(Local => \"image.p3d\", Listen => 1)' && exec \"$0\""},
      {"symbolic link", "3\n", kCopyIn + kFailed, same, 1, before, before, {}, kDsk,
       "ln -s default.dsk image.p3d && exec \"$0\""},
      {"hard link", "4\n", kCopyOut + kFailed, same, 1, before, before, {}, kDsk,
       "ln default.dsk image.p3d && exec \"$0\""}};
  for (const Case& c : cases) check(c);
}

TEST_F(MobrickTest, AFullDumpThroughLibdskAndBack) {
  const string unknown = "unknown format.\n" + kCopyMenu.substr(16);  // the copy menu has no d, s or +
  check({"copy in", "3\nd\ns\n+\no\n", kCopyIn + kCopyMenu + unknown + unknown + unknown + "Ok.\n" +
         progress("Loading", 160, 2) + kCopied, "", 0, {}, image(kPcw, kDump), kDump});
  // libdsk reads each sector by its track, side and ID, in the order of a 720K disk.
  ASSERT_EQ(sh(DSKTRANS_PATH " -itype dsk -otype raw -format pcw720 default.dsk read.raw").status, 0);
  EXPECT_PRED_FORMAT2(SameBytes, file("read.raw"), kDump);
  ASSERT_EQ(sh(DSKTRANS_PATH " -itype raw -otype dsk -format pcw720 image.p3d written.dsk").status, 0);
  check({"copy out", "4\n", kCopyOut + kWritingDd + progress("Saving", 160, 2) + kCopied, "", 0, file("written.dsk"),
         kDump, "old", kDd});
}

TEST_F(MobrickTest, FilesThatFailMidway) {
  // An image reaches the file through a buffer of 4096 or 8192 bytes. Each limit, in blocks of 512 bytes, lies on a
  // multiple of 8192 or less than 4096 bytes below one, so that both fail at one write: in track 1, or at the close.
  // The 'dd' file is written unbuffered: slot 195, of track 10 head 1, fails.
  const string data = image(kData), copied = image(kPcw, kDump), fmt = kFormatting + kAsk + kFullMenu + "Ok.\n";
  const string format = "5\ny\no\n", copy = "3\ny\no\n", write = "error fwrite()\n";
  // A 'dd' file of `dump` bytes of kDump and a whole image; then `checked` holds `whole` up to the limit.
  auto cut = [&](const char* name, int blocks, const string& input, const string& out, const string& err,
                 const char* checked, const string& whole, size_t dump = 737280) {
    return Case{name, input, out, err, 1, copied, whole.substr(0, blocks * 512), kDump.substr(0, dump), checked,
                "ulimit -f " + std::to_string(blocks) + "; exec \"$0\""};
  };
  // One failed write of the image, the one that a Track-Info block brings about: the stream's buffer (the file
  // system's block size, up to 8192 bytes) is full right before block 5, at byte 24576. Later writes succeed.
  struct stat folder;
  ASSERT_EQ(stat(dir->path().c_str(), &folder), 0);
  const size_t buffer = folder.st_blksize > 0 && folder.st_blksize < 8192 ? folder.st_blksize : 8192;
  auto one_write = [&](const char* name, const string& input, const string& out, const string& whole) {
    return Case{name, input, out + kFailed, write, 1, copied, whole.substr(0, 24576 - buffer), kDump, kDsk,
                "export ASAN_OPTIONS=detect_leaks=0; exec strace -o /dev/null -P "
                "\"$PWD/default.dsk\" -e inject=write:error=ENOSPC:when=" + std::to_string(24576 / buffer) + " \"$0\""};
  };
  const Case cases[] = {
      cut("format, track 1", 9, format, fmt + progress("Formatting", 2) + kFailed, write, kDsk, data),
      cut("format, close", 380, format, fmt + progress("Formatting", 40) + kFailed, write, kDsk, data),
      cut("copy in, track 0", 9, copy, kLoading + progress("Loading", 2, 2) + kFailed, write, kDsk, copied),
      cut("copy in, close", 1520, copy, kLoading + progress("Loading", 160, 2) + kFailed, write, kDsk, copied),
      cut("short dump", 21, copy, kLoading + progress("Loading", 3, 2), "error in read\n", kDsk, copied, 10000),
      cut("copy out, slot 195", 195, "4\n", kCopyOut + kWritingDd + progress("Saving", 22, 2), "error in write\n",
          kDd, kDump),
      one_write("format, one write", format, fmt + progress("Formatting", 6), data),
      one_write("copy in, one write", copy, kLoading + progress("Loading", 6, 2), copied)};
  for (const Case& c : cases) check(c);
}

TEST_F(MobrickTest, EveryAllocationThatFails) {
  // Formats a PCW image, copies it into a 'dd' file and back, quits.
  const RunOptions options{dir->path(), "5\na\no\n4\n3\ny\no\n6\n"};
  const string out = kStart + kFormatting + kFullMenu + "Amstrad PCW-format set.\n" + kFullMenu.substr(16) + "Ok.\n" +
                     progress("Formatting", 160, 2) + "formatting ok.\n" + kMenu + kCopyOut + kWritingDd +
                     progress("Saving", 160, 2) + kCopied + kLoading + progress("Loading", 160, 2) + kCopied;
  const std::pair<string, string> files[] = {{kDsk, image(kPcw)}, {kDd, kPcw.record + string(737280 - 16, '\xE5')}};
  auto expect = [&](const string& what, const RunResult& run) {
    const bool given_up = run.status != 0;  // with the note, what was printed before as ever, no file cut short
    ::expect_run(run, given_up ? out.substr(0, run.out.size()) : out, given_up ? "malloc: no memory\n" : "", given_up,
                 what);
    for (const auto& [name, bytes] : files) {
      if (!given_up || file_exists(*dir / name)) {
        EXPECT_PRED_FORMAT2(SameBytes, file(name), bytes) << what;
      }
      unlink((*dir / name).c_str());
    }
  };
  expect("none failed", run_program(MOBRICK_PATH, {}, options));
  const int allocations = for_each_failed_allocation(MOBRICK_PATH, {}, options, [&](int n, const RunResult& run) {
    expect("allocation " + std::to_string(n) + " failed", run);
  });
  if (allocations < 0) GTEST_SKIP() << "the sanitizers' allocator stands where a failing one would";
  EXPECT_GT(allocations, 0);
}

TEST_F(MobrickTest, ACopyToADeviceEndsOnlyWhenTheDeviceHasTheSectors) {
  // The 'dd' file links to a loop device over a file on a tmpfs, which loses what does not fit it: 64 KiB hold 128
  // sectors, 1 MiB all of them. Where no loop device can be set up, the run skips (77).
  auto device = [](const char* room) {
    return "mkdir room && mount -t tmpfs -o size=" + string(room) + " tmpfs room && truncate -s 737280 room/b && "
           "ln -s \"$(losetup -f --show room/b)\" image.p3d || { umount room; exit 77; }; \"$0\"; s=$?; "
           "cp room/b copy; losetup -d \"$(readlink image.p3d)\"; umount room; exit $s";
  };
  const string saved = kCopyOut + kWritingDd + progress("Saving", 160, 2), pcw = image(kPcw, kDump);
  check({"64k", "4\n", saved, "error in write\n", 1, pcw, pcw, {}, kDsk, device("64k")});
  check({"1m", "4\n", saved + kCopied, "", 0, pcw, kDump, {}, "copy", device("1m")});
}

}  // namespace
