// End-to-end runs of pixtrel, each in a fresh folder of screens: the whole output and what the folder holds after.
#include <signal.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <set>

#include "run_program.h"
#include "test_gif_frames.h"

namespace {

namespace fs = std::filesystem;

const std::string B = "\nPIXTREL v1.0 - screen dumps to GIF images, by the pixtrel authors\n\n";
const std::string kUsage =
    "Usage: pixtrel [-f] filename[.scr] ...\n       -f = Convert FLASHing screens to animated GIF\n";
std::string not_found(const std::string& n) {
  return "Cannot find any file named " + n + ", " + n + ".scr or " + n + ".SCR, so there!\n";
}
std::string begun(const std::string& from, const std::string& to, const char* kind = "single image") {
  return "Converting " + from + " to " + to + " ... " + kind + " ... ";
}
std::string done(const std::string& name, const char* kind = "single image") {
  return begun(name + ".scr", name + ".gif", kind) + "done\n";
}

// A screen and its frames in phase 0 and 1, colour indices row by row.
struct Screen { std::string bytes, frames[2] = {std::string(49152, '\0'), std::string(49152, '\0')}; };
// Ink where a pattern is set; cell (r, c) has ink c % 8, paper (r + 3) % 8, BRIGHT if r is odd, FLASH if flash(r, c).
Screen rule_screen(bool (*flash)(int r, int c)) {
  Screen s{std::string(6912, '\0')};
  for (int p = 0; p < 49152; ++p) {
    const int x = p % 256, y = p / 256, r = y / 8, c = x / 8, f = flash(r, c);
    const int ink = (x * x * 13 + y * y * 7 + x * y) % 11 < 5;
    s.bytes[6144 + r * 32 + c] = static_cast<char>(f << 7 | r % 2 << 6 | (r + 3) % 8 << 3 | c % 8);
    s.bytes[y / 64 * 2048 + y % 8 * 256 + r % 8 * 32 + c] |= static_cast<char>(ink << (7 - x % 8));
    for (int phase : {0, 1}) s.frames[phase][p] = static_cast<char>((ink != (phase & f) ? c : r + 3) % 8 + r % 2 * 8);
  }
  return s;
}
const Screen kCalm{std::string(6144, '\xFF') + std::string(768, '\x38')};  // ink 0; bit 7 set in the bitmap only
const Screen kRule = rule_screen([](int r, int c) { return (r + c) % 3 == 0; });
const Screen kFirst = rule_screen([](int r, int c) { return r + c == 0; });         // FLASH in the first cell only
const Screen kLast = rule_screen([](int r, int c) { return r == 23 && c == 31; });  // and in the last only
const std::pair<char, const Screen*> kKinds[] = {{'c', &kCalm}, {'r', &kRule}, {'f', &kFirst}, {'l', &kLast}};
const std::map<std::string, std::string> kInputs = {  // "": a folder
    {"calm.scr", kCalm.bytes}, {"up.SCR", kCalm.bytes}, {"two.scr", kCalm.bytes}, {"two.SCR", kRule.bytes},
    {"pic", kCalm.bytes}, {"pic.scr", kRule.bytes}, {"pic.Scr", kCalm.bytes}, {".SCR", kCalm.bytes},
    {"title.scr", kCalm.bytes}, {"title", ""}, {"folder", ""}, {"a.scr", kRule.bytes}, {"f.scr", kFirst.bytes},
    {"l.scr", kLast.bytes}, {"long.scr", kRule.bytes + "long"}, {"short.scr", kCalm.bytes.substr(0, 6911)},
    {"a_screen_name_over_15.scr", kRule.bytes}};

// The logical screen descriptor (320 x 240, 16 global colours) and the colour table; an animation's extensions.
const std::string kScreenAndColours(
    "\x40\x01\xF0\x00\xD3\x00\x00"
    "\x00\x00\x00\x00\x00\xBE\xBE\x00\x00\xBE\x00\xBE\x00\xBE\x00\x00\xBE\xBE\xBE\xBE\x00\xAA\xAA\xAA"
    "\x00\x00\x00\x00\x00\xFF\xFF\x00\x00\xFF\x00\xFF\x00\xFF\x00\x00\xFF\xFF\xFF\xFF\x00\xFF\xFF\xFF", 55);
const std::string kLoopAndControl("\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00" "\x21\xF9\x04\x00\x20\x00\x00\x00", 27);

// The letter of the screen whose frames giflib reads from the GIF at `path`, upper case when animated, else "?".
std::string kind_of_gif(const std::string& path) {
  const std::string bytes = read_file(path);
  const bool still = bytes.rfind("GIF87a" + kScreenAndColours + ",", 0) == 0;
  const bool animated = bytes.rfind("GIF89a" + kScreenAndColours + kLoopAndControl, 0) == 0;
  const std::vector<std::string> frames = decoded_frames(path);
  for (const auto& [letter, s] : kKinds) {
    if (still && frames == std::vector{s->frames[0]}) return {letter};
    if (animated && frames == std::vector{s->frames[0], s->frames[1]}) return {static_cast<char>(toupper(letter))};
  }
  return "?";
}

// A fresh folder holding the inputs, then what a shell's `setup` made there. listing() names what it holds besides
// the inputs as they were: "/" after a folder, "|" a FIFO, "%" a device, "->" and the target for a link, "=" and
// kind_of_gif for a file.
struct Folder : TempDir {
  explicit Folder(const char* setup = "") {
    for (const auto& [n, b] : kInputs) b.empty() ? (void)fs::create_directory(*this / n) : write_file(*this / n, b);
    EXPECT_EQ(run_program("/bin/sh", {"-c", setup}, {path()}).status, 0) << setup;
  }
  std::string listing() const {
    using T = fs::file_type;
    static const std::map<T, std::string> kMarks = {
        {T::directory, "/"}, {T::fifo, "|"}, {T::character, "%"}, {T::symlink, "->"}, {T::regular, "="}};
    std::string text;
    for (const fs::path& p : std::set<fs::path>(fs::recursive_directory_iterator(path()), {})) {
      const std::string name = p.lexically_relative(path());
      const T type = fs::symlink_status(p).type();
      const auto in = kInputs.find(name);
      if (in != kInputs.end() && (in->second.empty() ? type == T::directory : read_file(p) == in->second)) continue;
      text += (text.empty() ? "" : " ") + name + kMarks.at(type);
      if (type == T::symlink) text += fs::read_symlink(p).string();
      if (type == T::regular) text += kind_of_gif(p);
    }
    return text;
  }
};

const bool kMayMakeNodes = geteuid() == 0;  // only root may make device nodes

// Each command run by a shell in a fresh folder, pixtrel on the PATH; with an injection, under strace, which counts
// only the calls that name the file `on` where one is given. A negative status: the run ends by that signal.
TEST(PixtrelTest, Runs) {
  struct Run { const char* what; const char* command; std::string out; int status; const char* files;
               std::string err = ""; const char* inject = ""; const char* on = ""; };
  const std::string close_failed = "\nCannot close GIF file (Error writing to file)\n";
  const std::string stdout_failed = "pixtrel: error writing standard output\n";
  const Run runs[] = {
      {"no arguments", "exec pixtrel", B, 1, "", kUsage}, {"-f alone", "exec pixtrel -f", B, 1, "", kUsage},
      {"each kind", "exec pixtrel -F l calm f a",
       B + done("l", "animated") + done("calm") + done("f", "animated") + done("a", "animated"), 0,
       "a.gif=R calm.gif=c f.gif=F l.gif=L"},
      {"-f first only", "exec pixtrel a -f", B + done("a") + not_found("-f"), 1, "a.gif=r"},
      {"names", "exec pixtrel up two pic pic.Scr .SCR long title folder calm",
       B + begun("up.SCR", "up.GIF") + "done\n" + done("two") + begun("pic", "pic.gif") + "done\n" +
           begun("pic.Scr", "pic.Scr.gif") + "done\n" + begun(".SCR", ".GIF") + "done\n" + done("long") +
           done("title") + not_found("folder"),
       1, ".GIF=c long.gif=r pic.Scr.gif=c pic.gif=c title.gif=c two.gif=c up.GIF=c"},
      {"short", "exec pixtrel short",
       B + "Converting short.scr to short.gif ... \nSorry, short.scr doesn't look like a SCR file to me!\n", 1, ""},
      {"close fails", "exec pixtrel calm", B + begun("calm.scr", "calm.gif") + close_failed, 1, "", "",
       "write:error=ENOSPC:when=3"},
      {"link kept, target removed", "mkdir site; ln -s site/a.gif a.gif; ulimit -f 2; exec pixtrel a",
       B + begun("a.scr", "a.gif") + "\nCannot compress GIF image (Error writing to file)\n", 1,
       "a.gif->site/a.gif site/"},
      {"device kept", "mknod calm.gif c 1 7; exec pixtrel calm", B + begun("calm.scr", "calm.gif") + close_failed, 1,
       "calm.gif%"},
      {"link to screen", "ln -s a.scr a.gif; exec pixtrel a",
       B + begun("a.scr", "a.gif") + "\nSorry, a.gif would overwrite a.scr!\n", 1, "a.gif->a.scr"},
      {"GIF on stdout", "pixtrel pic >pic.gif; s=$?; cat pic.gif; exit $s",
       B + begun("pic", "pic.gif") + "\nSorry, pic.gif would overwrite standard output!\n", 1, "pic.gif=?"},
      {"stdout full", "exec pixtrel >/dev/full", "", 1, "", kUsage + stdout_failed},
      {"stdout closed", "exec pixtrel calm >&-", "", 1, "calm.gif=c", stdout_failed},
      {"stdout fails first", "exec pixtrel a calm", "single image ... done\n" + done("calm"), 1, "a.gif=r calm.gif=c",
       stdout_failed, "write:error=EIO:when=1"},
      {"FIFO not opened", "mkfifo calm.gif; exec pixtrel a calm l", B + done("a") + begun("calm.scr", "calm.gif"),
       -SIGTERM, "a.gif=r calm.gif|", "", "openat:signal=TERM", "calm.gif"},
      {"SIGHUP ignored", "trap '' HUP; exec pixtrel a", B + done("a"), 0, "a.gif=r", "", "write:signal=HUP:when=3"},
      {"SIGHUP blocked", "exec perl -MPOSIX -e 'sigprocmask(SIG_BLOCK, POSIX::SigSet->new(SIGHUP)); kill HUP => $$; "
       "exec @ARGV' pixtrel a", B + done("a"), 0, "a.gif=r"}};
  for (const Run& run : runs) {
    if (std::strstr(run.command, "mknod") && !kMayMakeNodes) continue;
    Folder dir;
    const std::vector<std::string> args = {"-c", "PATH=\"${0%/*}:$PATH\"; " + std::string(run.command), PIXTREL_PATH};
    const RunResult r = run_program("/bin/sh", args, {dir.path(), "", {}, run.inject, run.on});
    expect_run(r, run.out, run.err, run.status, run.what);
    EXPECT_EQ(dir.listing(), run.files) << run.what << ": " << r.command;
  }
  if (!kMayMakeNodes) GTEST_SKIP() << "no device nodes may be made here: the rows that make one did not run";
}

// The coder's bytes, as the archives of earlier releases hold them, each image from its separator to its terminator:
// this screen fills the dictionary twice a frame, and only once entry 4095 is assigned comes a clear code.
TEST(PixtrelTest, CodeStream) {
  TempDir dir;
  std::string coded(6912, '\0');
  for (size_t i = 0; i < coded.size(); ++i) coded[i] = static_cast<char>(i * 151 % 256);
  write_file(dir / "n.scr", coded);
  expect_run(run_program(PIXTREL_PATH, {"-f", "n"}, {dir.path()}), B + done("n", "animated"), "", 0);
  const std::string gif = read_file(dir / "n.gif");
  auto crc32 = [](const std::string& data, uint32_t crc = ~0u) {  // bit by bit, each byte's lowest first
    for (size_t i = 0; i < data.size() * 8; ++i) crc = crc >> 1 ^ ((crc ^ data[i / 8] >> i % 8) & 1 ? 0xEDB88320 : 0);
    return ~crc;
  };
  EXPECT_EQ(gif.size(), 88 + 16338 + 8 + 16894 + 1u);
  EXPECT_EQ(crc32(gif.substr(88, 16338)), 0x5AF08419u);
  EXPECT_EQ(crc32(gif.substr(88 + 16338 + 8, 16894)), 0xAB9760A2u);
}

// A run cut short by a signal (each of three in turn) at each open and write, and by a failure of each allocation: it
// ends by that signal, or with status 1 and one message, or converts all. The GIFs reported done stay whole, the one
// begun goes where it is a regular file, and links stay; the device is a node in the folder where root may make one.
TEST(PixtrelTest, CutShort) {
  const std::string links_made = std::string("mkdir site; ln -s site/f.gif f.gif; ") +
                                 (kMayMakeNodes ? "mknod null c 1 3; ln -s null calm.gif" : "ln -s /dev/null calm.gif");
  const std::string name = "a_screen_name_over_15";
  const std::string links = kMayMakeNodes ? "calm.gif->null f.gif->site/f.gif null% site/"
                                          : "calm.gif->/dev/null f.gif->site/f.gif site/";
  const std::string whole = B + done(name, "animated") + done("f", "animated") + done("calm");
  const std::string all = name + ".gif=R " + links + " site/f.gif=F";
  const std::string after_done[] = {links, name + ".gif=R " + links, all, all};
  const std::vector<std::string> args = {"-f", name, "f", "calm"};
  // Checks the folder against the screens reported done; returns the output from the word where it leaves `whole`.
  auto rest = [&](const Folder& dir, const RunResult& r, const std::string& what) {
    size_t done = 0;
    for (size_t at = 0; (at = r.out.find("done", at)) != std::string::npos; ++at) ++done;
    EXPECT_EQ(dir.listing(), after_done[done]) << what << ": " << r.command;
    size_t at = std::mismatch(r.out.begin(), r.out.end(), whole.begin(), whole.end()).first - r.out.begin();
    while (at > 0 && r.out[at - 1] != '\n' && r.out[at - 1] != ' ') --at;
    return r.out.substr(at);
  };
  for (const std::string call : {"openat", "write"}) {
    for (int n = 1; n < 100; ++n) {
      Folder dir(links_made.c_str());
      const int signal = std::array{SIGINT, SIGTERM, SIGHUP}[n % 3];
      const std::string what = "signal " + std::to_string(signal) + " at " + call + " " + std::to_string(n);
      const RunResult r = run_program(PIXTREL_PATH, args, {dir.path(), "", {},
                                  call + ":signal=" + std::to_string(signal) + ":when=" + std::to_string(n)});
      EXPECT_EQ(rest(dir, r, what), "") << what;
      if (r.status == 0) break;
      EXPECT_EQ(r.status, -signal) << what;
      EXPECT_LT(n, 99) << "more calls than the test expects";
    }
  }
  Folder dir(links_made.c_str());
  std::set<std::string> messages;
  const int allocations = for_each_failed_allocation(PIXTREL_PATH, args, {dir.path()}, [&](int n, const RunResult& r) {
    const std::string what = "allocation " + std::to_string(n), message = rest(dir, r, what);
    if (!message.empty()) messages.insert(message);
    EXPECT_EQ(r.status, message.empty() ? 0 : 1) << what;
    EXPECT_EQ(r.err, "") << what;
    for (const std::string& gif : {name + ".gif", std::string("site/f.gif")}) std::remove((dir / gif).c_str());
  });
  if (allocations < 0) GTEST_SKIP() << "the sanitizers' allocator stands where the failing one would";
  EXPECT_EQ(messages, (std::set<std::string>{"Cannot convert " + name + " (Out of memory)\n",
                                             "Cannot convert f (Out of memory)\n",
                                             "Cannot convert calm (Out of memory)\n",
                                             "\nCannot create GIF file (Error creating file)\n",
                                             "\nCannot create GIF file (Out of memory)\n",
                                             "\nCannot compress GIF image (Out of memory!)\n"}));
}

}  // namespace
