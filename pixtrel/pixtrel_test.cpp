#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "run_program.h"
#include "test_gif_frames.h"

namespace {

std::string not_found(const std::string& name) {
  return "Cannot find any file named " + name + ", " + name + ".scr or " + name + ".SCR, so there!\n";
}

std::string converted(const std::string& from, const std::string& to, const char* kind = "single image") {
  return "Converting " + from + " to " + to + " ... " + kind + " ... done\n";
}

// A screen built by a rule and its frames in phase 0 and 1, colour indices row by row: pixel (x, y) is ink where the
// pattern is set; the cell in row r, column c has ink c % 8, paper r % 8, BRIGHT if r is odd, FLASH if 3 divides r + c.
std::string rule_screen(6912, '\0'), rule_frames[2] = {std::string(49152, '\0'), std::string(49152, '\0')};
void make_rule_screen() {
  for (int y = 0; y < 192; ++y) {
    for (int x = 0; x < 256; ++x) {
      const int r = y / 8, c = x / 8, flash = (r + c) % 3 == 0, ink = (x * x * 13 + y * y * 7 + x * y) % 11 < 5;
      rule_screen[6144 + r * 32 + c] = static_cast<char>(flash << 7 | r % 2 << 6 | r % 8 << 3 | c % 8);
      rule_screen[y / 64 * 2048 + y % 8 * 256 + r % 8 * 32 + c] |= static_cast<char>(ink << (7 - x % 8));
      for (int phase : {0, 1}) rule_frames[phase][y * 256 + x] = static_cast<char>((ink != (phase & flash) ? c : r) % 8 + r % 2 * 8);
    }
  }
}

// The logical screen descriptor (320 x 240, 16 global colours) and the colour table; an animation's extensions.
const std::string kScreenAndColours(
    "\x40\x01\xF0\x00\xD3\x00\x00"
    "\x00\x00\x00\x00\x00\xBE\xBE\x00\x00\xBE\x00\xBE\x00\xBE\x00\x00\xBE\xBE\xBE\xBE\x00\xAA\xAA\xAA"
    "\x00\x00\x00\x00\x00\xFF\xFF\x00\x00\xFF\x00\xFF\x00\xFF\x00\x00\xFF\xFF\xFF\xFF\x00\xFF\xFF\xFF", 55);
const std::string kLoopAndControl("\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00" "\x21\xF9\x04\x00\x20\x00\x00\x00", 27);

// Checks a GIF of the rule screen: its blocks before the first image, and its frames as giflib reads them.
void expect_rule_gif(const std::string& path, bool animated) {
  const std::string start = animated ? "GIF89a" + kScreenAndColours + kLoopAndControl : "GIF87a" + kScreenAndColours + ",";
  EXPECT_EQ(read_file(path).substr(0, start.size()), start) << path;
  const std::vector<std::string> frames = decoded_frames(path);
  ASSERT_EQ(frames.size(), animated ? 2u : 1u) << path;
  for (size_t i = 0; i < frames.size(); ++i) EXPECT_PRED_FORMAT2(SameBytes, frames[i], rule_frames[i]) << path;
}

uint32_t crc32(const std::string& data) {
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = 0; i < data.size() * 8; ++i) {  // bit by bit, the least significant bit of each byte first
    crc = ((crc ^ static_cast<uint8_t>(data[i / 8]) >> i % 8) & 1) ? 0xEDB88320u ^ crc >> 1 : crc >> 1;
  }
  return ~crc;
}

TEST(PixtrelTest, RunsAndTheirFiles) {
  TempDir dir;
  make_rule_screen();
  const std::string calm = std::string(6144, '\xFF') + std::string(768, '\x38');  // one colour; bit 7 set, no FLASH
  const std::string flash_last = calm.substr(0, 6911) + '\xB8';                    // FLASH in the last cell only
  std::string coded(6912, '\0');                                                  // many codes
  for (size_t i = 0; i < coded.size(); ++i) coded[i] = static_cast<char>(i * 151 % 256);
  for (const char* name : {"folder", "title", "taken.gif"}) ASSERT_EQ(mkdir((dir / name).c_str(), 0700), 0);
  const std::pair<std::vector<const char*>, std::string> files[] = {
      {{"calm.scr", "up.SCR", "two.scr", "pic", "pic.Scr", ".SCR", "title.scr", "z.scr", "taken", "full.scr", "shut.scr"}, calm},
      {{"a.scr", "two.SCR", "pic.scr", "noisy.scr", "self.scr", "hard.scr", "s1.scr", "s2.scr", "s3.scr", "s4.scr"}, rule_screen},
      {{"b.scr"}, flash_last}, {{"n.scr"}, coded}, {{"long.scr"}, rule_screen + "long"}, {{"short.scr"}, calm.substr(0, 6911)},
      {{"pic.gif"}, std::string(100000, 'x')}};
  for (const auto& [names, bytes] : files) {
    for (const char* name : names) write_file(dir / name, bytes);
  }
  ASSERT_EQ(symlink("self.scr", (dir / "self.gif").c_str()), 0);
  ASSERT_EQ(link((dir / "hard.scr").c_str(), (dir / "hard.gif").c_str()), 0);

  const std::string B = "\nPIXTREL v1.0 - screen dumps to GIF images, by the pixtrel authors\n\n";
  const std::string usage = "Usage: pixtrel [-f] filename[.scr] ...\n       -f = Convert FLASHing screens to animated GIF\n";
  const std::vector<std::string> batch = {"-f", "s1", "s2", "s3", "s4"};
  const std::string cut = B + converted("s1.scr", "s1.gif", "animated") + converted("s2.scr", "s2.gif", "animated") +
                          "Converting s3.scr to s3.gif ... animated ... ";
  struct Run { std::vector<std::string> args; std::string out; int status; std::string err = "";  // shell: runs "$0" "$@"
               int64_t size_limit = -1; const char* shell = nullptr; int signal = 0; };      // signal: while s3.gif is written
  const Run runs[] = {
      {{}, B, 1, usage}, {{"-f"}, B, 1, usage}, {{"-F"}, B, 1, usage}, {{"-x"}, B + not_found("-x"), 1},
      {{"-F", "b", "calm", "n"}, B + converted("b.scr", "b.gif", "animated") + converted("calm.scr", "calm.gif") +
                                     converted("n.scr", "n.gif", "animated"), 0},
      {{"a", "-f"}, B + converted("a.scr", "a.gif") + not_found("-f"), 1},
      {{"up", "two", "pic", "pic.Scr", ".SCR", "long", "title", "folder", "calm"},
       B + converted("up.SCR", "up.GIF") + converted("two.scr", "two.gif") + converted("pic", "pic.gif") +
           converted("pic.Scr", "pic.Scr.gif") + converted(".SCR", ".GIF") + converted("long.scr", "long.gif") +
           converted("title.scr", "title.gif") + not_found("folder"), 1},
      {{"short"}, B + "Converting short.scr to short.gif ... \nSorry, short.scr doesn't look like a SCR file to me!\n", 1},
      {{"z"}, B + "Converting z.scr to z.gif ... single image ... \nCannot close GIF file (Error writing to file)\n", 1, "", 200},
      {{"-f", "noisy"}, B + "Converting noisy.scr to noisy.gif ... animated ... \n"
                            "Cannot compress GIF image (Error writing to file)\n", 1, "", 1000},
      {{"taken"}, B + "Converting taken to taken.gif ... single image ... \nCannot create GIF file (Error creating file)\n", 1},
      {{"self"}, B + "Converting self.scr to self.gif ... single image ... \nSorry, self.gif would overwrite self.scr!\n", 1},
      {{"hard"}, B + "Converting hard.scr to hard.gif ... single image ... \nSorry, hard.gif would overwrite hard.scr!\n", 1},
      {{"full"}, "", 1, "pixtrel: error writing standard output\n", -1, "exec \"$0\" \"$@\" >/dev/full"},
      {{"shut"}, "", 1, "pixtrel: error writing standard output\n", -1, "exec \"$0\" \"$@\" >&-"},  // screen on fd 1, read only
      {batch, cut, 128 + SIGINT, "", -1, nullptr, SIGINT}, {batch, cut, 128 + SIGTERM, "", -1, nullptr, SIGTERM},
      {batch, cut, 128 + SIGHUP, "", -1, nullptr, SIGHUP},
      {batch, cut + "done\n" + converted("s4.scr", "s4.gif", "animated"), 0, "", -1, "trap '' HUP; exec \"$0\" \"$@\"", SIGHUP}};
  for (const Run& run : runs) {
    const std::string what = "row " + std::to_string(&run - runs), fifo = dir / "s3.gif";
    RunOptions options{dir.path(), "", "", run.size_limit, nullptr};
    if (run.signal != 0) {  // s3.gif a FIFO whose pipe holds less than a GIF: a GIF begun in it cannot end unread
      EXPECT_EQ(mkfifo(fifo.c_str(), 0600), 0);
      const int both_ends = open(fifo.c_str(), O_RDWR);  // opens at once, and keeps the pipe until pixtrel has it
      EXPECT_EQ(fcntl(both_ends, F_SETPIPE_SZ, 4096), 4096);
      options.started = [&, both_ends](pid_t pid) {  // once a GIF has begun, the signal; then read until the writer is gone
        pollfd data{both_ends, POLLIN, 0};
        EXPECT_EQ(poll(&data, 1, 10000), 1) << what;
        const int read_end = open(fifo.c_str(), O_RDONLY);
        close(both_ends);
        kill(pid, run.signal);
        for (char buffer[4096]; read(read_end, buffer, sizeof buffer) > 0;) {}
        close(read_end);
      };
    }
    std::vector<std::string> args = run.args;
    if (run.shell) args.insert(args.begin(), {"-c", run.shell, PIXTREL_PATH});
    const RunResult result = run_program(run.shell ? "/bin/sh" : PIXTREL_PATH, args, options);
    if (run.status > 128) {
      expect_killed(result, run.out, run.err, run.status - 128, what);
    } else {
      expect_run(result, run.out, run.err, run.status, what);
    }
    if (run.signal == 0) continue;
    EXPECT_EQ(file_exists(fifo), run.status == 0) << what;  // the handler removed the GIF being written
    EXPECT_EQ(file_exists(dir / "s4.gif"), run.status == 0) << what;
    for (const char* name : {"s1.gif", "s2.gif"}) expect_rule_gif(dir / name, true);
  }
  for (auto [name, animated] : {std::pair{"long.gif", false}, {"s4.gif", true}}) expect_rule_gif(dir / name, animated);
  const std::string one_colour = read_file(dir / "calm.gif");
  for (const char* name : {"up.GIF", "two.gif", "pic.gif", "pic.Scr.gif", ".GIF", "title.gif", "full.gif", "shut.gif"}) {
    EXPECT_PRED_FORMAT2(SameBytes, read_file(dir / name), one_colour) << name;
  }
  for (const char* name : {"short.gif", "z.gif", "noisy.gif", "folder.gif"}) EXPECT_FALSE(file_exists(dir / name)) << name;
  for (const char* name : {"self.scr", "hard.scr"}) EXPECT_PRED_FORMAT2(SameBytes, read_file(dir / name), rule_screen) << name;

  // The code stream, each image from its separator to its terminator. One colour: strings one pixel longer each, in
  // codes up to 9 bits wide. The coded screen fills the dictionary twice a frame; a clear code follows entry 4095 only.
  EXPECT_EQ(one_colour.size(), 61 + 318 + 1u);
  EXPECT_EQ(one_colour.substr(71, 8), std::string("\x04\xFF\x10\xC8\x49\xAB\xBD\x38", 8));
  const std::string animated = read_file(dir / "n.gif");
  EXPECT_EQ(animated.size(), 88 + 16338 + 8 + 16894 + 1u);
  EXPECT_EQ(crc32(animated.substr(88, 16338)), 0x5AF08419u);
  EXPECT_EQ(animated.substr(88 + 16338, 8), kLoopAndControl.substr(19));
  EXPECT_EQ(crc32(animated.substr(88 + 16338 + 8, 16894)), 0xAB9760A2u);
}

}  // namespace
