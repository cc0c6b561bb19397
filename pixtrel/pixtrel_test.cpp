#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "gif_check.h"
#include "run_program.h"
#include "screen.h"

namespace {

const std::string kBanner = "\nPIXTREL v1.0 - screen dumps to GIF images, by the pixtrel authors\n\n";
const std::string kUsage =
    "Usage: pixtrel [-f] filename[.scr] ...\n"
    "       -f = Convert FLASHing screens to animated GIF\n";

std::string not_found(const std::string& name) {
  return "Cannot find any file named " + name + ", " + name + ".scr or " + name + ".SCR, so there!\n";
}

// A screen of patterned bytes whose attributes carry FLASH only when `flash`.
std::string make_screen(bool flash, size_t size = kScreenBytes) {
  std::string screen(size, '\0');
  for (size_t i = 0; i < size; ++i) screen[i] = static_cast<char>(i * 37 % 251);
  for (size_t i = kBitmapBytes; i < size; ++i) screen[i] = static_cast<char>(flash ? (i % 0x100) : (i % 0x80));
  return screen;
}

RunResult run(const TempDir& dir, const std::vector<std::string>& args, int64_t limit = -1) {
  RunOptions options;
  options.cwd = dir.path();
  options.file_size_limit = limit;
  return run_program(PIXTREL_PATH, args, options);
}

// The GIF at `path` decodes to the frames of `screen`, one or (animated) two.
void expect_gif_of(const std::string& path, const std::string& screen, bool animated) {
  std::memcpy(converter.screen_data.data(), screen.data(), kScreenBytes);
  const DecodedGif gif = decode_gif(read_file(path));
  ASSERT_EQ(gif.error, "") << path;
  ASSERT_EQ(gif.frames.size(), animated ? 2u : 1u) << path;
  EXPECT_EQ(gif.frames[0], rendered(0)) << path;
  if (animated) {
    EXPECT_EQ(gif.frames[1], rendered(1)) << path;
  }
}

TEST(PixtrelTest, UsageErrors) {
  TempDir dir;
  for (const auto& args : {std::vector<std::string>{}, {"-f"}, {"-F"}}) {
    const RunResult r = run(dir, args);
    EXPECT_EQ(r.out, kBanner);
    EXPECT_EQ(r.err, kUsage);
    EXPECT_EQ(r.status, 1);
  }
  const RunResult r = run(dir, {"-x"});
  EXPECT_EQ(r.out, kBanner + not_found("-x"));
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.status, 1);
}

TEST(PixtrelTest, NameRules) {
  TempDir dir;
  const std::string screen = make_screen(true);
  write_file(dir / "pic.SCR", screen);
  RunResult r = run(dir, {"pic"});
  EXPECT_EQ(r.out, kBanner + "Converting pic.SCR to pic.GIF ... single image ... done\n");
  EXPECT_EQ(r.status, 0);
  expect_gif_of(dir / "pic.GIF", screen, false);

  write_file(dir / "pic", screen);
  write_file(dir / "pic.gif", std::string(100000, 'x'));
  write_file(dir / "pic.Scr", screen);
  write_file(dir / "b.scr", screen);
  r = run(dir, {"pic", "pic.Scr", "b"});
  EXPECT_EQ(r.out, kBanner + "Converting pic to pic.gif ... single image ... done\n" +
                       "Converting pic.Scr to pic.Scr.gif ... single image ... done\n" +
                       "Converting b.scr to b.gif ... single image ... done\n");
  expect_gif_of(dir / "pic.gif", screen, false);
  EXPECT_EQ(read_file(dir / "pic.Scr.gif"), read_file(dir / "pic.gif"));
}

TEST(PixtrelTest, NamesOfAnyLength) {
  TempDir dir;
  const std::string name = std::string(200, 'd') + "/" + std::string(150, 'p');
  EXPECT_EQ(run(dir, {name}).out, kBanner + not_found(name));
  ASSERT_EQ(mkdir((dir / std::string(200, 'd')).c_str(), 0700), 0);
  write_file(dir / name + ".scr", make_screen(false));
  const RunResult r = run(dir, {name});
  EXPECT_EQ(r.out, kBanner + "Converting " + name + ".scr to " + name + ".gif ... single image ... done\n");
  EXPECT_TRUE(file_exists(dir / name + ".gif"));
}

TEST(PixtrelTest, FlashOptionOnlyFirst) {
  TempDir dir;
  write_file(dir / "a.scr", make_screen(true));
  write_file(dir / "calm.scr", make_screen(false));
  RunResult r = run(dir, {"-F", "a", "calm"});
  EXPECT_EQ(r.out, kBanner + "Converting a.scr to a.gif ... animated ... done\n" +
                       "Converting calm.scr to calm.gif ... single image ... done\n");
  EXPECT_EQ(r.status, 0);
  expect_gif_of(dir / "a.gif", make_screen(true), true);
  EXPECT_EQ(read_file(dir / "calm.gif").substr(0, 6), "GIF87a");

  r = run(dir, {"a", "-f"});
  EXPECT_EQ(r.out, kBanner + "Converting a.scr to a.gif ... single image ... done\n" + not_found("-f"));
  EXPECT_EQ(r.status, 1);
  expect_gif_of(dir / "a.gif", make_screen(true), false);
}

TEST(PixtrelTest, FileLengths) {
  TempDir dir;
  write_file(dir / "short.scr", make_screen(false, kScreenBytes - 1));
  RunResult r = run(dir, {"short"});
  EXPECT_EQ(r.out, kBanner + "Converting short.scr to short.gif ... \nSorry, short.scr doesn't look like a SCR file to me!\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_FALSE(file_exists(dir / "short.gif"));

  write_file(dir / "long.scr", make_screen(false, kScreenBytes + 100));
  write_file(dir / "exact.scr", make_screen(false));
  EXPECT_EQ(run(dir, {"long", "exact"}).status, 0);
  EXPECT_EQ(read_file(dir / "long.gif"), read_file(dir / "exact.gif"));
}

TEST(PixtrelTest, FirstFailureEndsTheRun) {
  TempDir dir;
  write_file(dir / "one.scr", make_screen(false));
  write_file(dir / "three.scr", make_screen(false));
  const RunResult r = run(dir, {"one", "two", "three"});
  EXPECT_EQ(r.out, kBanner + "Converting one.scr to one.gif ... single image ... done\n" + not_found("two"));
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(file_exists(dir / "one.gif"));
  EXPECT_FALSE(file_exists(dir / "three.gif"));
}

TEST(PixtrelTest, OutputFailures) {
  TempDir dir;
  write_file(dir / "z.scr", std::string(kScreenBytes, '\0'));  // a 380-byte GIF, buffered whole
  write_file(dir / "noisy.scr", make_screen(true));
  const std::string prefix = "Converting z.scr to z.gif ... single image ... \n";
  RunResult r = run(dir, {"z"}, 200);
  EXPECT_EQ(r.out, kBanner + prefix + "Cannot close GIF file (Error writing to file)\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_FALSE(file_exists(dir / "z.gif"));

  r = run(dir, {"-f", "noisy"}, 1000);
  EXPECT_EQ(r.out, kBanner + "Converting noisy.scr to noisy.gif ... animated ... \n" +
                       "Cannot compress GIF image (Error writing to file)\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_FALSE(file_exists(dir / "noisy.gif"));

  ASSERT_EQ(mkdir((dir / "z.gif").c_str(), 0700), 0);
  r = run(dir, {"z"});
  EXPECT_EQ(r.out, kBanner + prefix + "Cannot create GIF file (Error creating file)\n");
  EXPECT_EQ(r.status, 1);
}

}  // namespace
