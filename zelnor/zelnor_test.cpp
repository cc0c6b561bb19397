// End-to-end tests of zelnor: command lines, failed allocations and writes, and their whole output.
#include <string>
#include <vector>

#include "run_program.h"

namespace {

const std::string kNotice = "Zelnor - checksum and length of files, by the Zelnor authors.\n"
    "Zelnor comes with ABSOLUTELY NO WARRANTY; see the file LICENSE for details.\n\n";
const std::string kUsage =
    "Usage: zelnor [options] files\nAvailable options:\n"
    "  -h, --help       display this message\n"
    "  -v, --version    display version number and expiration date\n"
    "  -x, --hex        print checksum in hex mode\n";
const std::string kAbc = "abc: 16458,      3 bytes\n", kEmpty = "empty:     0,      0 bytes\n";
const std::string kVersion = kNotice + "This is Zelnor 0.2.\n", kWriteFailed = "error writing <standard output>";

// A message of the program: "zelnor: ", what failed, then the system's reason.
std::string test_error(const std::string& what, const std::string& reason) {
  return "zelnor: " + what + "  --> reason: " + reason + "\n";
}

struct Folder : TempDir {  // a fresh folder holding the files abc and empty
  Folder() { write_file(*this / "abc", "abc"); write_file(*this / "empty", ""); }
};

// Each command in a fresh folder; with an injection, under strace. Write 2 of 165 results is the first 4096 bytes
// of them, after the notice: glibc drops the buffer whose write failed, and the final flush succeeds.
TEST(ZelnorTest, CommandLines) {
  struct { const char* name; std::string command, out, err; int status; const char* inject = ""; } cases[] = {
      {"hex twice", "zelnor --hex -x abc", "abc: 404A,      3 bytes\n", kNotice, 0},
      {"option last, POSIX", "POSIXLY_CORRECT=1 zelnor abc -x", "abc: 404A,      3 bytes\n", kNotice, 0},
      {"file after --", "zelnor -- -x", "",
       kNotice + test_error("couldn't open <-x> for reading", "No such file or directory"), 1},
      // Three reads of 256 KiB, the last one short: the sum is carried from one to the next.
      {"575 KiB", "seq 100000 >long && zelnor long", "long: 62627, 588895 bytes\n", kNotice, 0},
      {"3 GiB", "truncate -s 3221225469 big && printf abc >>big && zelnor big",  // sparse: zeros sum to 0
       "big: 16458, 3221225472 bytes\n", kNotice, 0},
      {"version stops", "zelnor abc -x --version", "", kVersion, 1},
      {"help stops", "zelnor abc --help", "", kUsage, 1},
      {"unknown first", "zelnor -q -v", "", kUsage, 1},
      {"no files", "zelnor -x", "", kUsage, 1},
      {"failed files", "mkdir sub && \"$0\" abc missing sub empty", kAbc + kEmpty,  // name without folder
       kNotice + test_error("couldn't open <missing> for reading", "No such file or directory") +
           test_error("error reading <sub>", "Is a directory"), 1},
      {"disk full", "zelnor abc >/dev/full", "", kNotice + test_error(kWriteFailed, "No space left on device"), 1},
      {"stdout closed", "zelnor /dev/fd/1 >&-", "", kNotice + test_error(kWriteFailed, "Bad file descriptor"), 1},
      {"earlier write failed", "exec zelnor $(yes abc | head -n 165)", kAbc,
       kNotice + test_error(kWriteFailed, "Input/output error"), 1, "write:error=EIO:when=2"},
  };
  for (const auto& c : cases) {
    Folder dir;
    const std::vector<std::string> args = {"-c", "PATH=\"${0%/*}:$PATH\"; " + c.command, ZELNOR_PATH};
    expect_run(run_program("/bin/sh", args, {dir.path(), "", {}, c.inject}), c.out, c.err, c.status, c.name);
  }
}

// Every allocation failed in turn: a file not opened for want of memory is reported like any other, the other summed.
TEST(ZelnorTest, EachAllocationFailed) {
  Folder dir;
  const int count = for_each_failed_allocation(ZELNOR_PATH, {"abc", "empty"}, {dir.path()},
                                               [](int n, const RunResult& r) {
    const std::string what = "allocation " + std::to_string(n) + " failed";
    if (r.status == 0) return expect_run(r, kAbc + kEmpty, kNotice, 0, what);
    const std::string failed = r.err.find("<abc>") != std::string::npos ? "abc" : "empty";  // not opened
    expect_run(r, failed == "abc" ? kEmpty : kAbc,
               kNotice + test_error("couldn't open <" + failed + "> for reading", "Cannot allocate memory"), 1, what);
  });
  if (count < 0) GTEST_SKIP() << "allocations cannot be failed under the sanitizers";
}

}  // namespace
