#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cstdio>

#include "run_program.h"

namespace {

std::string not_found(const std::string& name) {
  return "Cannot find any file named " + name + ", " + name + ".scr or " + name + ".SCR, so there!\n";
}

std::string converted(const std::string& from, const std::string& to, const char* kind = "single image") {
  return "Converting " + from + " to " + to + " ... " + kind + " ... done\n";
}

// The logical screen descriptor (320 x 240, a 16-entry global colour table)
// and that table: the 16 screen colours as red, green and blue bytes.
const std::string kScreenDescriptor("\x40\x01\xF0\x00\xD3\x00\x00", 7);
const std::string kColourTable = std::string("\x00\x00\x00" "\x00\x00\xBE" "\xBE\x00\x00" "\xBE\x00\xBE"
                                             "\x00\xBE\x00" "\x00\xBE\xBE" "\xBE\xBE\x00" "\xAA\xAA\xAA"
                                             "\x00\x00\x00" "\x00\x00\xFF" "\xFF\x00\x00" "\xFF\x00\xFF"
                                             "\x00\xFF\x00" "\x00\xFF\xFF" "\xFF\xFF\x00" "\xFF\xFF\xFF", 48);

// Whether the files at two paths hold the same bytes; a failure says where
// they first differ rather than printing both.
::testing::AssertionResult SameFile(const char* a_text, const char* b_text, const std::string& a,
                                    const std::string& b) {
  const std::string a_bytes = read_file(a), b_bytes = read_file(b);
  if (a_bytes == b_bytes) return ::testing::AssertionSuccess();
  size_t at = 0;
  while (at < a_bytes.size() && at < b_bytes.size() && a_bytes[at] == b_bytes[at]) ++at;
  return ::testing::AssertionFailure() << a_text << " (" << a_bytes.size() << " bytes) and " << b_text << " ("
                                       << b_bytes.size() << " bytes) differ first at offset " << at;
}

// Patterned bitmap bytes; attributes with FLASH bits only when `flash`.
std::string make_screen(bool flash, size_t size = 6912) {
  std::string screen(size, '\0');
  for (size_t i = 0; i < size; ++i) screen[i] = static_cast<char>(i < 6144 ? i * 37 % 251 : i % (flash ? 256 : 128));
  return screen;
}

TEST(PixtrelTest, RunsInOrder) {
  TempDir dir;
  const std::string folder(200, 'd'), long_name = folder + "/" + std::string(150, 'p');  // beyond 256 bytes
  ASSERT_EQ(mkdir((dir / folder).c_str(), 0700), 0);
  ASSERT_EQ(mkdir((dir / "taken.gif").c_str(), 0700), 0);
  for (const char* name : {"a.scr", "b.scr", "noisy.scr"}) write_file(dir / name, make_screen(true));
  for (const char* name : {"calm.scr", "up.SCR", ".SCR", "pic", "pic.Scr", "taken"}) write_file(dir / name, make_screen(false));
  write_file(dir / long_name + ".scr", make_screen(false));
  write_file(dir / "pic.gif", std::string(100000, 'x'));
  write_file(dir / "short.scr", make_screen(false, 6911));
  write_file(dir / "long.scr", make_screen(false, 7000));
  write_file(dir / "z.scr", std::string(6912, '\0'));  // a 380-byte GIF, in the buffer until closed

  const std::string usage = "Usage: pixtrel [-f] filename[.scr] ...\n       -f = Convert FLASHing screens to animated GIF\n";
  struct Run { std::vector<std::string> args; std::string out; int status; int64_t size_limit = -1; };
  const Run runs[] = {
      {{}, "", 1}, {{"-f"}, "", 1}, {{"-F"}, "", 1}, {{"-x"}, not_found("-x"), 1},
      {{"-F", "b", "calm"}, converted("b.scr", "b.gif", "animated") + converted("calm.scr", "calm.gif"), 0},
      {{"a", "-f"}, converted("a.scr", "a.gif") + not_found("-f"), 1},
      {{"up", "pic", "pic.Scr"}, converted("up.SCR", "up.GIF") + converted("pic", "pic.gif") +
                                     converted("pic.Scr", "pic.Scr.gif"), 0},
      {{".SCR"}, converted(".SCR", ".GIF"), 0},
      {{long_name + "x"}, not_found(long_name + "x"), 1},
      {{long_name}, converted(long_name + ".scr", long_name + ".gif"), 0},
      {{"short"}, "Converting short.scr to short.gif ... \nSorry, short.scr doesn't look like a SCR file to me!\n", 1},
      {{"long", "missing", "calm"}, converted("long.scr", "long.gif") + not_found("missing"), 1},
      {{"z"}, "Converting z.scr to z.gif ... single image ... \nCannot close GIF file (Error writing to file)\n", 1, 200},
      {{"-f", "noisy"}, "Converting noisy.scr to noisy.gif ... animated ... \n"
                        "Cannot compress GIF image (Error writing to file)\n", 1, 1000},
      {{"taken"}, "Converting taken to taken.gif ... single image ... \nCannot create GIF file (Error creating file)\n", 1},
  };
  for (const Run& run : runs) {
    const RunResult r = run_program(PIXTREL_PATH, run.args, RunOptions{dir.path(), "", "", run.size_limit});
    EXPECT_EQ(r.out, "\nPIXTREL v1.0 - screen dumps to GIF images, by the pixtrel authors\n\n" + run.out);
    EXPECT_EQ(r.err, run.out.empty() ? usage : "") << run.out;
    EXPECT_EQ(r.status, run.status) << run.out;
  }
  // The program's own signature, descriptor and colour table, animated and still.
  for (auto [name, signature] : {std::pair{"b.gif", "GIF89a"}, {"a.gif", "GIF87a"}, {"calm.gif", "GIF87a"}}) {
    const std::string gif = read_file(dir / name);
    EXPECT_EQ(gif.substr(0, 6), signature) << name;
    EXPECT_EQ(gif.substr(6, 7), kScreenDescriptor) << name;
    EXPECT_EQ(gif.substr(13, 48), kColourTable) << name;
  }
  for (const char* same : {"up.GIF", ".GIF", "pic.gif", "pic.Scr.gif", "long.gif"}) {
    EXPECT_EQ(read_file(dir / same), read_file(dir / "calm.gif")) << same;
  }
  for (const char* absent : {"short.gif", "z.gif", "noisy.gif"}) EXPECT_FALSE(file_exists(dir / absent)) << absent;
}

TEST(PixtrelTest, UnwritableMessagesFailTheRunButNotTheConversion) {
  TempDir dir;
  write_file(dir / "calm.scr", make_screen(false));
  const RunResult r = run_program(PIXTREL_PATH, {"calm"}, RunOptions{dir.path(), "", "/dev/full", -1});
  EXPECT_EQ(r.err, "pixtrel: error writing standard output\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(read_file(dir / "calm.gif").substr(0, 6), "GIF87a");
}

// A +3DOS header for a CODE file of `length` bytes, its checksum off by
// `checksum_error`.
std::string plus3_header(unsigned length, int checksum_error = 0) {
  std::string header("PLUS3DOS\x1A\x01\x00", 11);
  const unsigned file_length = 128 + length;
  for (int i = 0; i < 4; ++i) header += static_cast<char>(file_length >> (8 * i) & 0xFF);
  header += std::string(1, 3) + static_cast<char>(length & 0xFF) + static_cast<char>(length >> 8) + std::string("\0\x40", 2);
  header.resize(127, '\0');
  unsigned sum = 0;
  for (char c : header) sum += static_cast<unsigned char>(c);
  return header + static_cast<char>((sum ^ checksum_error) & 0xFF);
}

TEST(PixtrelTest, DirectoriesAndPlus3DosFiles) {
  TempDir dir;
  const std::string banner = "\nPIXTREL v1.0 - screen dumps to GIF images, by the pixtrel authors\n\n";
  // A directory named like the argument is passed over.
  ASSERT_EQ(mkdir((dir / "title").c_str(), 0700), 0);
  ASSERT_EQ(mkdir((dir / "folder").c_str(), 0700), 0);
  write_file(dir / "title.scr", make_screen(false));
  RunResult r = run_program(PIXTREL_PATH, {"title", "folder"}, RunOptions{dir.path(), "", "", -1});
  EXPECT_EQ(r.out, banner + converted("title.scr", "title.gif") + not_found("folder"));
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.status, 1);

  // The screen behind a +3DOS header; a header one checksum bit off is no
  // header, so the file's first 6912 bytes are the screen as in any file.
  const std::string screen = make_screen(false), near = plus3_header(6912, 1) + screen;
  write_file(dir / "plain.scr", screen);
  write_file(dir / "saved.scr", plus3_header(6912) + screen);
  write_file(dir / "near.scr", near);
  write_file(dir / "front.scr", near.substr(0, 6912));
  r = run_program(PIXTREL_PATH, {"plain", "saved", "near", "front"}, RunOptions{dir.path(), "", "", -1});
  EXPECT_EQ(r.out, banner + converted("plain.scr", "plain.gif") + converted("saved.scr", "saved.gif") +
                       converted("near.scr", "near.gif") + converted("front.scr", "front.gif"));
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.status, 0);
  EXPECT_PRED_FORMAT2(SameFile, dir / "saved.gif", dir / "plain.gif");
  EXPECT_PRED_FORMAT2(SameFile, dir / "near.gif", dir / "front.gif");
  EXPECT_FALSE(read_file(dir / "near.gif") == read_file(dir / "plain.gif"));

  // A header followed by fewer than 6912 bytes.
  write_file(dir / "cut.scr", plus3_header(6912) + screen.substr(0, 6911));
  r = run_program(PIXTREL_PATH, {"cut"}, RunOptions{dir.path(), "", "", -1});
  EXPECT_EQ(r.out, banner + "Converting cut.scr to cut.gif ... \nSorry, cut.scr doesn't look like a SCR file to me!\n");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.status, 1);
  EXPECT_FALSE(file_exists(dir / "cut.gif"));
}

// With standard output closed the screen would take its descriptor, read
// only, and the progress text fail on it as it does on /dev/null; so this
// shows that the run fails and the GIF is whole, not which file stood there.
TEST(PixtrelTest, AClosedStandardOutputFailsTheRunButNotTheGif) {
  TempDir dir;
  write_file(dir / "calm.scr", make_screen(false));
  ASSERT_EQ(run_program(PIXTREL_PATH, {"calm"}, RunOptions{dir.path(), "", "", -1}).status, 0);
  ASSERT_EQ(rename((dir / "calm.gif").c_str(), (dir / "normal.gif").c_str()), 0);
  const RunResult r = run_program("/bin/sh", {"-c", "exec \"$0\" calm >&-", PIXTREL_PATH}, RunOptions{dir.path(), "", "", -1});
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "pixtrel: error writing standard output\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_PRED_FORMAT2(SameFile, dir / "calm.gif", dir / "normal.gif");
}

}  // namespace
