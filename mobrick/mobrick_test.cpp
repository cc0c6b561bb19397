// End-to-end tests of mobrick, one behaviour a case; libdsk, an independent reader and writer of DSK images, and
// cpmtools' fsck.cpm as clients of its images.
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>  // libdsk.h needs size_t declared first
#include <numeric>
#include <optional>
#include <sstream>

#include <libdsk.h>

#include "run_program.h"

namespace {

using std::string;

// A disk format as its images hold it, and the disk record that begins it when formatted ("" for none).
struct Format { int tracks, sides, sectors, size_code, first_id, gap; string record; };
const Format kData{40, 1, 9, 2, 0xC1, 0x4E, ""};
const Format kSystem{40, 1, 9, 2, 0x41, 0x4E, string("\x01\0\x28\x09\x02\x02\x03\x02\x2A\x52\0\0\0\0\0\0", 16)};
const Format kPlus3{40, 1, 9, 2, 1, 0x4E, string("\0\0\x28\x09\x02\x01\x03\x02\x2A\x52\0\0\0\0\0\0", 16)};
const Format kPcw{80, 2, 9, 2, 1, 0x4E, string("\x03\x01\x50\x09\x02\x01\x04\x04\x2A\x52\0\0\0\0\0\0", 16)};

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
const string kNamePrompt = "New image file (without .dsk) : ";
const std::vector<int> kIds{1, 2, 3, 4, 5, 6, 7, 8, 9}, kIdsFrom0{0, 1, 2, 3, 4, 5, 6, 7, 8};
const string kFailed = "Operation terminated incorrectly.\n" + kMenu, kCopied = "transfer ok.\n" + kMenu;

string disk_info(int tracks, int sides, int track_size = 4864) {
  return "MV - CPCEMU Disk-File\r\nDisk-Info\r\n" + string(14, '\0') + char(tracks) + char(sides) + char(track_size) +
         char(track_size >> 8) + string(204, '\0');
}

// A Track-Info block with one list entry per ID, then the sector data.
string track_block(int track, int side, int size, const std::vector<int>& ids, const string& data, int gap = 0x4E) {
  string block = "Track-Info\r\n" + string(4, '\0') + char(track) + char(side) + string(2, '\0') + char(size);
  block += {char(ids.size()), char(gap), char(0xE5)};
  for (int id : ids) block += {char(track), char(side), char(id), char(size), 0, 0, 0, 0};
  return block + string(256 - block.size(), '\0') + data;
}

// An image of `f` whose sectors hold `data` in image order or, with no data, 0xE5 behind the format's record.
string image(const Format& f, string data = "") {
  const int track_bytes = f.sectors << (7 + f.size_code), blocks = f.tracks * f.sides;
  if (data.empty()) data = f.record + string(blocks * track_bytes - f.record.size(), '\xE5');
  std::vector<int> ids(f.sectors);
  std::iota(ids.begin(), ids.end(), f.first_id);
  string bytes = disk_info(f.tracks, f.sides, 256 + track_bytes);
  for (int i = 0; i < blocks; ++i) {
    bytes += track_block(i / f.sides, i % f.sides, f.size_code, ids, data.substr(i * track_bytes, track_bytes), f.gap);
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

class MobrickTest : public ::testing::Test {
 protected:
  // Runs the shell line `command` in `dir` on `input`, "$0" naming mobrick.
  RunResult sh(const string& command, const string& input = "", int64_t file_size_limit = -1) {
    return run_program("/bin/sh", {"-c", command, MOBRICK_PATH}, {dir->path(), input, "", file_size_limit, nullptr});
  }
  // Checks the whole run of `input` through `shell`: the banner and the menu, then `out`; `err`; `status`.
  void expect_run(const string& what, const string& input, const string& out, const string& err, int status,
                  const string& shell = kRun, int64_t file_size_limit = -1) {
    ::expect_run(sh(shell, input, file_size_limit), kStart + out, err, status, what + ", input " + input.substr(0, 60));
  }
  string file(const string& name) { return read_file(*dir / name); }
  static constexpr char kRun[] = "exec \"$0\"";
  std::optional<TempDir> dir{std::in_place};  // emplaced anew for each case
};

TEST_F(MobrickTest, Answers) {
  const string bad = " only 1-6 : " + kMenu, d(4095, 'd'), z = string(4091, 'z') + ".dsk", data = image(kData);
  auto set = [](const string& name) { return kNamePrompt + "Image file set to " + name + "\n" + kMenu; };
  auto in = [](const string& dd) { return "Copy 'dd' file -> Image\nreading from 'dd' file " + dd + ".\nwriting to"; };
  const std::vector<int> ids{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18};
  const string eighteen = disk_info(1, 1) + track_block(0, 0, 2, ids, kDump.substr(0, 9216));
  const std::optional<string> none, old = "old";
  // The 'dd' file image.p3d holds "keep"; default.dsk holds `before`, then `after` (none: there is no such file).
  struct { const char* name; std::optional<string> before; string input, out, err; int status;
           std::optional<string> after; } cases[] = {
      {"not 1 to 6", none, "7\n", bad, "", 0, none},
      {"long answer is one", none, string(79, 'a') + "4\n", bad, "", 0, none},
      {"4x is 4", none, "4x\n", kCopyOut + kMenu, "error opening default.dsk\n", 1, none},
      {"end of input quits", none, "", "", "", 0, none},
      {"name gets .dsk", none, "2\ndisk\n", set("disk.dsk"), "", 0, none},
      {"any dot keeps it", none, "2\n../disk\n", set("../disk"), "", 0, none},
      {"empty name", none, "2\n\n", set(".dsk"), "", 0, none},
      {"CRLF line ends", none, "2\r\ncrlf\r\n", set("crlf.dsk"), "", 0, none},
      {"name too long", none, "2\n" + string(4092, 'w') + "\n", kNamePrompt + "name too long\n" + kMenu, "", 0, none},
      {"longest name", none, "2\n" + z.substr(0, 4091) + "\n5\n", set(z) + "formatting image file " + z +
       "\nerror opening " + z + "\n" + kMenu, "", 1, none},
      {"dd name too long", none, "1\n" + d + "d\n3\n", kDdPrompt + "name too long\n" + kMenu + kCopyIn + kCopyMenu, "",
       1, ""},
      {"longest dd name", none, "1\n" + d + "\n3\n", kDdPrompt + kMenu + in(d) + " image file default.dsk\n",
       "error: can't open " + d + "\n", 1, none},
      {"no question", none, "5\no\n", kFormatting + kFormatted, "", 0, data},
      {"Y overwrites", old, "5\nY\no\n", kFormatting + kAsk + kFormatted, "", 0, data},
      {"n keeps", old, "5\nn\n", kFormatting + kAsk + kMenu, "", 0, old},
      {"copy: n keeps", old, "3\nn\n", kCopyIn + kAsk + kMenu, "", 0, old},
      {"18 entries, then 9", eighteen, "4\n5\ny\no\n", kCopyOut + kWritingDd + progress("Saving", 1) + kCopied +
       kFormatting + kAsk + kFormatted, "", 0, data},
      // The end of input at a prompt fails the run; from the format menu on, the image has been emptied.
      {"ends at a name", none, "1\n", kDdPrompt, "", 1, none},
      {"ends at the question", old, "5\n", kFormatting + kAsk, "", 1, old},
      {"ends in format menu", old, "5\ny\nd\n", kFormatting + kAsk + kFullMenu + "DATA-format set.\n" +
       kFullMenu.substr(16), "", 1, ""},
      {"ends in copy menu", none, "3\n", kCopyIn + kCopyMenu, "", 1, ""}};
  for (const auto& c : cases) {
    dir.emplace();
    write_file(*dir / "image.p3d", "keep");
    if (c.before) write_file(*dir / "default.dsk", *c.before);
    expect_run(c.name, c.input, c.out, c.err, c.status);
    EXPECT_EQ(file_exists(*dir / "default.dsk"), c.after.has_value()) << c.name;
    EXPECT_PRED_FORMAT2(SameBytes, file("default.dsk"), c.after.value_or("")) << c.name;
  }
  // Closed standard streams: the image does not take the place of the output, and lost messages fail the run.
  dir.emplace();
  ::expect_run(sh("exec \"$0\" >&-", "5\no\n"), "", "mobrick: error writing standard output\n", 1, "closed output");
  EXPECT_PRED_FORMAT2(SameBytes, file("default.dsk"), data);
  expect_run("closed input", "", "", "mobrick: error reading standard input\n", 1, "exec \"$0\" <&-");
}

TEST_F(MobrickTest, Formats) {
  const string fsck = FSCK_CPM_PATH;
  struct { const char* name; string keys; std::vector<string> messages; const Format& format; const char* diskdef; }
  cases[] = {{"o keeps DATA", "o", {}, kData, "cpcdata"},
             {"S is s", "S\no", {"SYSTEM-format set."}, kSystem, "cpcsys"},
             {"Ok is o", "v\nOk", {"VORTEX-format set."}, kPcw, "cf2dd"},
             {"+3 DOS", "+\no", {"+3 DOS-format set."}, kPlus3, "pcw"},
             {"the last wins", "d\na\no", {"DATA-format set.", "Amstrad PCW-format set."}, kPcw, "cf2dd"},
             {"m changes nothing", "m\no", {"Modify: not implemented."}, kData, "cpcdata"},
             {"0 is no o", "0\no", {"unknown format."}, kData, "cpcdata"}};
  for (const auto& c : cases) {
    dir.emplace();
    string dialogue = kFormatting + kFullMenu;
    for (const string& message : c.messages) dialogue += message + "\n" + kFullMenu.substr(16);
    expect_run(c.name, "5\n" + c.keys + "\n", dialogue + "Ok.\n" + progress("Formatting", c.format.tracks *
               c.format.sides, c.format.sides) + "formatting ok.\n" + kMenu, "", 0);
    EXPECT_PRED_FORMAT2(SameBytes, file("default.dsk"), image(c.format)) << c.name;
    if (fsck.empty()) continue;  // cpmtools finds an empty, sound file system
    const RunResult checked = run_program(fsck, {"-n", "-f", c.diskdef, "-T", "dsk", *dir / "default.dsk"});
    EXPECT_EQ(checked.status, 0) << c.name << ": " << checked.out << checked.err;
  }
  if (fsck.empty()) GTEST_SKIP() << "no fsck.cpm: the images were checked by their bytes only";
}

TEST_F(MobrickTest, ImagesIntoDdFiles) {
  auto saving = [](int blocks, int sides) { return kWritingDd + progress("Saving", blocks, sides); };
  auto unfit = [](const char* track) { return "error: track " + string(track) + " doesn't fit a 'dd' file\n"; };
  const string one = disk_info(1, 1), a(9216, 'a'), b(4608, 'b'), t0 = track_block(0, 0, 2, kIds, b);
  const string s1 = saving(1, 1), read = "error fread()\n";
  // A DATA disk, IDs 0xC1 to 0xC9, side 0 only: its 40 tracks from slot 192 on, 9216 bytes apart.
  string data_disk = string(192 * 512, '\0');
  for (int t = 0; t < 40; ++t) data_disk += string(4608, '\xE5') + string(t < 39 ? 4608 : 0, '\0');
  // `shown`: what stands between the heading and `end`, empty where the run ends.
  struct { const char* name; string image, shown, end, err, dd; } cases[] = {
      // A 256-byte sector fills the front of its slot and zeros the rest, not what the buffer held.
      {"256-byte sectors", disk_info(2, 1) + t0 + track_block(1, 0, 1, {1}, a.substr(0, 256)), saving(2, 1), kCopied,
       "", b + string(4608, '\0') + a.substr(0, 256) + string(256, '\0')},
      {"DATA", image(kData), saving(40, 1), kCopied, "", data_disk},
      {"no tracks", "MV - CPC" + string(300, '\0'), kWritingDd, kCopied, "", ""},
      {"no sectors", one + track_block(0, 0, 3, {}, ""), s1, kCopied, "", ""},
      {"no magic", "MV - CPX" + one.substr(8), "", kFailed, "", "keep"},
      {"short Disk-Info", one.substr(0, 255), "", kFailed, read, "keep"},
      {"short Track-Info", one + t0.substr(0, 20), s1, kFailed, read, ""},
      {"side 0 twice", disk_info(1, 2) + t0 + t0, saving(2, 2), kFailed, "", b},
      {"track 1 for side 1", disk_info(1, 2) + t0 + track_block(1, 0, 2, kIds, b), saving(2, 2), kFailed, "", b},
      {"19 sectors", one + track_block(0, 0, 2, std::vector<int>(19, 1), a + b.substr(0, 512)), s1, kFailed, "", ""},
      {"size code 6", one + track_block(0, 0, 6, {1}, a.substr(0, 8192)), s1, kFailed, "", ""},
      {"no Track magic", one + "Trace" + t0.substr(5), s1, kFailed, "", ""},
      {"ends in sector 8", one + t0.substr(0, 4000), s1, kFailed, read, b.substr(0, 3584)},
      {"1024-byte sectors", one + track_block(0, 0, 3, kIds, a), s1, kFailed, unfit("0 head 0"), ""},
      {"an ID twice", one + track_block(0, 0, 2, {1, 2, 3, 4, 5, 6, 7, 8, 8}, b), s1, kFailed, unfit("0 head 0"), ""},
      // ID 0 of track 1 takes the slot of ID 9 of track 0 side 1; on track 0 side 0 it has none.
      {"ID 0 on track 1", disk_info(2, 2) + t0 + track_block(0, 1, 2, kIds, a.substr(0, 4608)) +
       track_block(1, 0, 2, kIdsFrom0, b), saving(3, 2), kFailed, unfit("1 head 0"), b + a.substr(0, 4608)},
      {"ID 0 on track 0", one + track_block(0, 0, 2, kIdsFrom0, b), s1, "", "error in seek\n", ""}};
  for (const auto& c : cases) {
    dir.emplace();
    write_file(*dir / "default.dsk", c.image);
    write_file(*dir / "image.p3d", "keep");
    const string once = kCopyOut + c.shown + c.end;  // two copies in one run: the second writes the same slots
    const bool ends = c.end.empty();
    expect_run(c.name, "4\n4\n", once + (ends ? "" : once), ends ? c.err : c.err + c.err, c.end == kCopied ? 0 : 1);
    EXPECT_PRED_FORMAT2(SameBytes, file("image.p3d"), c.dd) << c.name;
  }
}

TEST_F(MobrickTest, DdFilesThatCannotBeUsed) {
  // Refused before anything is asked, both files as they were. A FIFO that nobody opens at the other end would hold an
  // open for ever: timeout ends such a run after 10 s, and it fails.
  const string before = disk_info(0, 0), seek = "error in seek\n", folder = "error: can't open image.p3d\n";
  const string same = "error: image.p3d and default.dsk are the same file\n";
  struct { const char* name; const char* make; string choice, err, end, shell = "exec timeout 10 \"$0\""; } cases[] = {
      // With standard error into standard output, as in a log, the note follows the lines printed before it.
      {"folder to copy from", "mkdir image.p3d", "3", "", folder, "exec timeout 10 \"$0\" 2>&1"},
      {"folder to copy into", "mkdir image.p3d", "4", folder, ""},
      {"FIFO to copy from", "mkfifo image.p3d", "3", seek, ""},
      {"FIFO to copy into", "mkfifo image.p3d", "4", seek, ""},
      {"socket to copy from", nullptr, "3", seek, ""},
      {"socket to copy into", nullptr, "4", seek, ""},
      {"symbolic link", "ln -s default.dsk image.p3d", "3", same, kFailed},
      {"hard link", "ln default.dsk image.p3d", "4", same, kFailed}};
  for (const auto& c : cases) {
    dir.emplace();
    write_file(*dir / "default.dsk", before);
    const string dd = *dir / "image.p3d";
    const int socket_fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{AF_UNIX, {}};
    dd.copy(address.sun_path, sizeof address.sun_path - 1);
    ASSERT_EQ(c.make ? sh(c.make).status : bind(socket_fd, (const sockaddr*)&address, sizeof address), 0) << c.name;
    expect_run(c.name, c.choice + "\n6\n", (c.choice == "3" ? kCopyIn : kCopyOut) + c.end, c.err, 1, c.shell);
    close(socket_fd);
    EXPECT_PRED_FORMAT2(SameBytes, file("default.dsk"), before) << c.name;
  }
}

TEST_F(MobrickTest, AFullDumpThroughLibdskAndBack) {
  write_file(*dir / "image.p3d", kDump);
  const string unknown = "unknown format.\n" + kCopyMenu.substr(16);  // the copy menu has no d, s or +
  expect_run("copy in", "3\nd\ns\n+\no\n", kCopyIn + kCopyMenu + unknown + unknown + unknown + "Ok.\n" +
             progress("Loading", 160, 2) + kCopied, "", 0);
  EXPECT_PRED_FORMAT2(SameBytes, file("default.dsk"), image(kPcw, kDump));
  DSK_PDRIVER drive = nullptr;
  DSK_GEOMETRY geometry;  // of FMT_720K: 80 x 2 x 9 sectors of 512 bytes, IDs 1 to 9
  ASSERT_EQ(dsk_open(&drive, (*dir / "default.dsk").c_str(), "dsk", nullptr), DSK_ERR_OK);
  string read_by_id(737280, '\0');  // by track, side and ID
  dg_stdformat(&geometry, FMT_720K, nullptr, nullptr);
  for (int i = 0; i < 1440; ++i) dsk_pread(drive, &geometry, &read_by_id[i * 512], i / 18, i / 9 % 2, i % 9 + 1);
  dsk_close(&drive);
  EXPECT_PRED_FORMAT2(SameBytes, read_by_id, kDump);
  ASSERT_EQ(sh(DSKTRANS_PATH " -itype raw -otype dsk -format pcw720 image.p3d default.dsk").status, 0);
  write_file(*dir / "image.p3d", "old");
  expect_run("copy out", "4\n", kCopyOut + kWritingDd + progress("Saving", 160, 2) + kCopied, "", 0);
  EXPECT_PRED_FORMAT2(SameBytes, file("image.p3d"), kDump);
}

TEST_F(MobrickTest, FilesThatFailMidway) {
  // An image reaches the file through a buffer of 4096 or 8192 bytes. Each limit lies less than 4096 bytes below a
  // multiple of 8192, so that both fail at one write: in track 1, or at the close.
  // The 'dd' file is written unbuffered: slot 195, of track 10 head 1, fails.
  const string data = image(kData), copied = image(kPcw, kDump), fmt = kFormatting + kAsk + kFullMenu + "Ok.\n";
  const string format = "5\ny\no\n", copy = "3\ny\no\n", write = "error fwrite()\n", dsk = "default.dsk";
  struct { const char* name; size_t dump; string input; int64_t limit; string out, err, file, bytes; } cases[] = {
      {"format, track 1", 737280, format, 5000, fmt + progress("Formatting", 2), write, dsk, data},
      {"format, close", 737280, format, 194716, fmt + progress("Formatting", 40), write, dsk, data},
      {"copy in, track 0", 737280, copy, 5000, kLoading + progress("Loading", 2, 2), write, dsk, copied},
      {"copy in, close", 737280, copy, 778396, kLoading + progress("Loading", 160, 2), write, dsk, copied},
      {"short dump", 10000, copy, 10752, kLoading + progress("Loading", 3, 2), "error in read\n", dsk, copied},
      {"copy out", 737280, "4\n", 100000, kCopyOut + kWritingDd + progress("Saving", 22, 2), "error in write\n",
       "image.p3d", kDump}};
  for (const auto& c : cases) {
    dir.emplace();
    write_file(*dir / "image.p3d", kDump.substr(0, c.dump));
    write_file(*dir / dsk, copied);
    expect_run(c.name, c.input, c.out + (c.err == write ? kFailed : ""), c.err, 1, kRun, c.limit);
    EXPECT_PRED_FORMAT2(SameBytes, file(c.file), c.bytes.substr(0, c.limit)) << c.name;
  }
}

TEST_F(MobrickTest, AWriteOfATrackInfoBlockThatFails) {
  // One failed write of the image, the one that a Track-Info block brings about: the buffer is full right before
  // block 5, at byte 24576, whether it holds 4096 or 8192 bytes. Later writes succeed.
  struct { const char* name; string input, progress, out; } cases[] = {
      {"formatting", "5\ny\no\n", "Formatting track 5  head 0", kFormatting + kAsk + kFullMenu + "Ok.\n" +
       progress("Formatting", 6)},
      {"copy in", "3\ny\no\n", "Loading track 2  head 1", kLoading + progress("Loading", 6, 2)}};
  for (const auto& c : cases) {
    dir.emplace();
    write_file(*dir / "image.p3d", kDump);
    write_file(*dir / "default.dsk", "old");
    // LeakSanitizer cannot work under ptrace.
    const RunOptions options{dir->path(), c.input, "", -1, nullptr, {"ASAN_OPTIONS=detect_leaks=0"}};
    bool traced = false;
    run_injected(MOBRICK_PATH, {}, options, "write:error=ENOSPC:when=65535", *dir / "trace", &traced);
    if (!traced) GTEST_SKIP() << "strace cannot trace here";
    std::istringstream trace(file("trace"));  // the first write after the progress line is the one to fail
    string line;
    int n = 2;
    while (std::getline(trace, line) && line.find(c.progress) == string::npos) ++n;
    const RunResult run = run_injected(MOBRICK_PATH, {}, options, "write:error=ENOSPC:when=" + std::to_string(n),
                                       *dir / "trace", &traced);
    ::expect_run(run, kStart + c.out + kFailed, "error fwrite()\n", 1, c.name);
    EXPECT_LE(file("default.dsk").size(), 24576u - 4096) << c.name;
  }
}

TEST_F(MobrickTest, EveryAllocationThatFails) {
  // Formats a PCW image, copies it into a 'dd' file and back, quits.
  const RunOptions options{dir->path(), "5\na\no\n4\n3\ny\no\n6\n"};
  const string out = kStart + kFormatting + kFullMenu + "Amstrad PCW-format set.\n" + kFullMenu.substr(16) + "Ok.\n" +
                     progress("Formatting", 160, 2) + "formatting ok.\n" + kMenu + kCopyOut + kWritingDd +
                     progress("Saving", 160, 2) + kCopied + kLoading + progress("Loading", 160, 2) + kCopied;
  const std::pair<string, string> files[] = {{"default.dsk", image(kPcw)},
                                             {"image.p3d", kPcw.record + string(737280 - 16, '\xE5')}};
  auto check = [&](const string& what, const RunResult& run) {
    if (run.status == 0) {
      ::expect_run(run, out, "", 0, what);
    } else {  // given up with the note, what was printed before as ever, no file cut short
      ::expect_run(run, out.substr(0, run.out.size()), "malloc: no memory\n", 1, what);
    }
    for (const auto& [name, bytes] : files) {
      if (run.status == 0 || file_exists(*dir / name)) {
        EXPECT_PRED_FORMAT2(SameBytes, file(name), bytes) << what;
      }
      unlink((*dir / name).c_str());
    }
  };
  check("none failed", run_program(MOBRICK_PATH, {}, options));
  const int allocations = for_each_failed_allocation(MOBRICK_PATH, {}, options, [&](int n, const RunResult& run) {
    check("allocation " + std::to_string(n) + " failed", run);
  });
  if (allocations < 0) GTEST_SKIP() << "the sanitizers' allocator stands where a failing one would";
  EXPECT_GT(allocations, 0);
}

TEST_F(MobrickTest, ACopyToADeviceEndsOnlyWhenTheDeviceHasTheSectors) {
  write_file(*dir / "default.dsk", image(kPcw, kDump));
  // A loop device over a file on a tmpfs loses what does not fit it: 64 KiB hold 128 sectors, 1 MiB all of them.
  struct { const char* room; string end, err; int status; } cases[] = {{"64k", "", "error in write\n", 1},
                                                                       {"1m", kCopied, "", 0}};
  for (const auto& c : cases) {
    const RunResult loop = sh("mkdir -p room && mount -t tmpfs -o size=" + string(c.room) + " tmpfs room && "
                              "truncate -s 737280 room/b && device=$(losetup -f --show room/b) && printf %s $device");
    if (loop.status == 0) {
      expect_run(c.room, "1\n" + loop.out + "\n4\n", kDdPrompt + kMenu + kCopyOut + "writing to 'dd' file " +
                 loop.out + " ...\n" + progress("Saving", 160, 2) + c.end, c.err, c.status);
      if (c.status == 0) {
        EXPECT_PRED_FORMAT2(SameBytes, file("room/b"), kDump);  // what reached the file behind the device
      }
    }
    sh("losetup -d " + loop.out + "; umount room");
    if (loop.status != 0) GTEST_SKIP() << "no loop device on a tmpfs: " << loop.err;
  }
}

}  // namespace
