// End-to-end tests of the zelnor program: command lines run by /bin/sh with
// zelnor on the PATH, runs with an allocation or a write failed, and their
// whole output.
#include <string>
#include <vector>

#include "run_program.h"

namespace {

const std::string kNotice =
    "Zelnor - checksum and length of files, by the Zelnor authors.\n"
    "Zelnor comes with ABSOLUTELY NO WARRANTY; see the file LICENSE for details.\n\n";
const std::string kUsage =
    "Usage: zelnor [options] files\nAvailable options:\n"
    "  -h, --help       display this message\n"
    "  -v, --version    display version number and expiration date\n"
    "  -x, --hex        print checksum in hex mode\n";
const std::string kAbc = "abc: 16458,      3 bytes\n", kAbcHex = "abc: 404A,      3 bytes\n",
                  kEmpty = "empty:     0,      0 bytes\n";
const std::string kWriteFailed = "error writing <standard output>";

// A message of the program: "zelnor: ", what failed, then the system's reason.
std::string test_error(const std::string& what, const std::string& reason) {
  return "zelnor: " + what + "  --> reason: " + reason + "\n";
}

class ZelnorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    write_file(dir_ / "abc", "abc");
    write_file(dir_ / "empty", "");
  }
  TempDir dir_;
};

TEST_F(ZelnorTest, CommandLines) {
  std::string bytes;  // two 256 KiB reads and a part: the sum is carried from one to the next
  for (int i = 0; i < (2 << 18) + 17; i++) bytes += static_cast<char>(i % 251);
  write_file(dir_ / "long", bytes);

  const std::string bin = std::string(ZELNOR_PATH).substr(0, std::string(ZELNOR_PATH).rfind('/'));
  struct { const char* name; std::string command, out, err; int status; } cases[] = {
      {"two files", "zelnor abc empty", kAbc + kEmpty, kNotice, 0},
      {"hex twice", "zelnor --hex -x abc", kAbcHex, kNotice, 0},
      {"option last, POSIX", "POSIXLY_CORRECT=1 zelnor abc -x", kAbcHex, kNotice, 0},
      {"file after --", "zelnor -- -x", "",
       kNotice + test_error("couldn't open <-x> for reading", "No such file or directory"), 1},
      {"512 KiB", "zelnor long", "long: 37700, 524305 bytes\n", kNotice, 0},
      {"3 GiB", "truncate -s 3221225469 big && printf abc >>big && zelnor big",  // sparse: zeros sum to 0
       "big: 16458, 3221225472 bytes\n", kNotice, 0},
      {"version stops", "zelnor -x -v abc", "", kNotice + "This is Zelnor 0.2.\n", 1},
      {"long version", "zelnor --version", "", kNotice + "This is Zelnor 0.2.\n", 1},
      {"help stops", "zelnor abc --help", "", kUsage, 1},
      {"unknown first", "zelnor -q -v", "", kUsage, 1},
      {"no arguments", "zelnor", "", kUsage, 1},
      {"no files", "zelnor -x", "", kUsage, 1},
      {"failed files", "mkdir sub && \"$0\"/zelnor abc missing sub empty", kAbc + kEmpty,  // name without folder
       kNotice + test_error("couldn't open <missing> for reading", "No such file or directory") +
           test_error("error reading <sub>", "Is a directory"), 1},
      {"disk full", "zelnor abc >/dev/full", "", kNotice + test_error(kWriteFailed, "No space left on device"), 1},
      {"stdout closed", "zelnor abc >&-", "", kNotice + test_error(kWriteFailed, "Bad file descriptor"), 1},
  };
  for (const auto& c : cases) {
    const RunResult r = run_program("/bin/sh", {"-c", "PATH=\"$0:$PATH\"; " + c.command, bin}, {dir_.path()});
    expect_run(r, c.out, c.err, c.status, c.name);
  }
}

// Every allocation failed in turn: a file that cannot be opened for want of
// memory is reported like any other and the other is still summed.
TEST_F(ZelnorTest, EachAllocationFailed) {
  const int count = for_each_failed_allocation(ZELNOR_PATH, {"abc", "empty"}, RunOptions{dir_.path()},
                                               [](int n, const RunResult& r) {
    const std::string what = "allocation " + std::to_string(n) + " failed";
    if (r.status == 0) return expect_run(r, kAbc + kEmpty, kNotice, 0, what);
    const std::string failed = r.err.find("<abc>") != std::string::npos ? "abc" : "empty";  // not opened
    expect_run(r, failed == "abc" ? kEmpty : kAbc,
               kNotice + test_error("couldn't open <" + failed + "> for reading", "Cannot allocate memory"), 1, what);
  });
  if (count < 0) GTEST_SKIP() << "allocations cannot be failed under the sanitizers";
}

// A write of results that fails while the final flush succeeds (glibc drops
// the buffer whose write failed) still fails the run.
TEST_F(ZelnorTest, EarlierFailedWriteOfResults) {
  bool traced = false;
  // Write 1 is the notice, write 2 the first 4096 bytes of the 200 results. No LeakSanitizer under ptrace.
  const RunOptions options{dir_.path(), "", "", -1, nullptr, {"ASAN_OPTIONS=detect_leaks=0"}};
  const RunResult r = run_injected(ZELNOR_PATH, std::vector<std::string>(200, "abc"), options,
                                   "write:error=EIO:when=2", dir_ / "trace", &traced);
  if (!traced) GTEST_SKIP() << "strace cannot trace here";
  std::string last_36;  // the 164 results begun in the dropped buffer are lost
  for (int i = 0; i < 36; i++) last_36 += kAbc;
  expect_run(r, last_36, kNotice + test_error(kWriteFailed, "Input/output error"), 1);
  const std::string trace = read_file(dir_ / "trace");
  EXPECT_NE(trace.find("\nwrite(1, \"abc: 16458,      3 bytes\\nabc: 16\"..., 4096) = -1 EIO (Input/output error) "
                       "(INJECTED)\n"), std::string::npos) << trace;
}

}  // namespace
