// End-to-end tests of the zelnor program: command lines run by /bin/sh with
// zelnor on the PATH, and their whole output.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "run_program.h"

namespace {

const std::string kNotice =
    "Zelnor - checksum and length of files, by the Zelnor authors.\n"
    "Zelnor comes with ABSOLUTELY NO WARRANTY; see the file LICENSE for details.\n"
    "\n";
const std::string kUsage =
    "Usage: zelnor [options] files\n"
    "Available options:\n"
    "  -h, --help       display this message\n"
    "  -v, --version    display version number and expiration date\n"
    "  -x, --hex        print checksum in hex mode\n";
const std::string kVersion = kNotice + "This is Zelnor 0.2.\n";
const std::string kAbc = "abc: 16458,      3 bytes\n";
const std::string kAbcHex = "abc: 404A,      3 bytes\n";

TEST(ZelnorTest, CommandLines) {
  TempDir dir;
  write_file(dir / "abc", "abc");
  write_file(dir / "empty", "");
  ASSERT_EQ(mkdir((dir / "sub").c_str(), 0755), 0);
  // A sparse 3 GiB file of zeros ending in "abc": the zeros leave the sum at 0.
  const int big = open((dir / "big").c_str(), O_WRONLY | O_CREAT, 0644);
  ASSERT_GE(big, 0);
  ASSERT_EQ(pwrite(big, "abc", 3, (off_t{3} << 30) - 3), 3);
  ASSERT_EQ(close(big), 0);

  const std::string bin = std::string(ZELNOR_PATH).substr(0, std::string(ZELNOR_PATH).rfind('/'));
  struct { std::string command, out, err; int status; } cases[] = {
      {"zelnor abc empty", kAbc + "empty:     0,      0 bytes\n", kNotice, 0},
      {"zelnor -x abc", kAbcHex, kNotice, 0},
      {"zelnor --hex -x abc", kAbcHex, kNotice, 0},
      {"zelnor abc -x", kAbcHex, kNotice, 0},
      {"POSIXLY_CORRECT=1 zelnor abc -x", kAbcHex, kNotice, 0},
      {"zelnor -- -x", "", kNotice + "zelnor: couldn't open <-x> for reading  --> reason: No such file or directory\n", 1},
      {"zelnor big", "big: 16458, 3221225472 bytes\n", kNotice, 0},
      {"zelnor -x -v abc", "", kVersion, 1},
      {"zelnor --version", "", kVersion, 1},
      {"zelnor -h abc", "", kUsage, 1},
      {"zelnor --help", "", kUsage, 1},
      {"zelnor -q -v", "", kUsage, 1},
      {"zelnor abc --bogus", "", kUsage, 1},
      {"zelnor", "", kUsage, 1},
      {"zelnor -x", "", kUsage, 1},
      {"\"$0\"/zelnor abc missing sub empty",  // messages name the program without its folder
       kAbc + "empty:     0,      0 bytes\n",
       kNotice + "zelnor: couldn't open <missing> for reading  --> reason: No such file or directory\n"
                 "zelnor: error reading <sub>  --> reason: Is a directory\n", 1},
      {"zelnor abc >/dev/full", "", kNotice + "zelnor: error writing <standard output>  --> reason: No space left on device\n", 1},
      {"zelnor abc >&-", "", kNotice + "zelnor: error writing <standard output>  --> reason: Bad file descriptor\n", 1},
      {"zelnor -v >&-", "", kVersion, 1},
  };
  for (const auto& c : cases) {
    const RunResult r = run_program("/bin/sh", {"-c", "PATH=\"$0:$PATH\"; " + c.command, bin}, RunOptions{dir.path()});
    expect_run(r, c.out, c.err, c.status, c.command);
  }
}

// Every allocation failed in turn: a file that cannot be opened for want of
// memory is reported like any other and the other is still summed.
TEST(ZelnorTest, EachAllocationFailed) {
  TempDir dir;
  write_file(dir / "abc", "abc");
  write_file(dir / "empty", "");
  const std::string empty = "empty:     0,      0 bytes\n";
  const int count = for_each_failed_allocation(ZELNOR_PATH, {"abc", "empty"}, RunOptions{dir.path()},
                                               [&](int n, const RunResult& r) {
    const std::string what = "allocation " + std::to_string(n) + " failed";
    if (r.status == 0) return expect_run(r, kAbc + empty, kNotice, 0, what);
    const std::string failed = r.err.find("<abc>") != std::string::npos ? "abc" : "empty";  // not opened
    expect_run(r, failed == "abc" ? empty : kAbc,
               kNotice + "zelnor: couldn't open <" + failed + "> for reading  --> reason: Cannot allocate memory\n",
               1, what);
  });
  if (count < 0) GTEST_SKIP() << "allocations cannot be failed under the sanitizers";
}

}  // namespace
