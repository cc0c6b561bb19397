// End-to-end tests of the zelnor program.
#include <fcntl.h>
#include <gtest/gtest.h>
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

class ZelnorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    write_file(dir / "abc", "abc");
    write_file(dir / "empty", "");
  }
  RunResult zelnor(const std::vector<std::string>& args, RunOptions options = {}) {
    options.cwd = dir.path();
    return run_program(ZELNOR_PATH, args, options);
  }
  TempDir dir;
};

TEST_F(ZelnorTest, DecimalAndHexLines) {
  RunResult r = zelnor({"abc", "empty"});
  EXPECT_EQ(r.out, "abc: 16458,      3 bytes\nempty:     0,      0 bytes\n");
  EXPECT_EQ(r.err, kNotice);
  EXPECT_EQ(r.status, 0);

  for (auto args : {std::vector<std::string>{"-x", "abc"}, {"-x", "--hex", "abc"}, {"abc", "-x"}}) {
    r = zelnor(args);
    EXPECT_EQ(r.out, "abc: 404A,      3 bytes\n") << args[0] << " " << args[1];
    EXPECT_EQ(r.err, kNotice) << args[0] << " " << args[1];
    EXPECT_EQ(r.status, 0) << args[0] << " " << args[1];
  }
}

TEST_F(ZelnorTest, VersionStopsParsing) {
  for (auto args : {std::vector<std::string>{"-x", "-v", "abc"}, {"--version"}}) {
    RunResult r = zelnor(args);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, kNotice + "This is Zelnor 0.2.\n");
    EXPECT_EQ(r.status, 1);
  }
}

TEST_F(ZelnorTest, UsageForHelpUnknownOptionAndNoFile) {
  for (auto args : {std::vector<std::string>{"-h", "abc"}, {"--help"}, {"-q", "abc"},
                    {"--bogus"}, {"-q", "-v"}, {}, {"-x"}}) {
    RunResult r = zelnor(args);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, kUsage) << (args.empty() ? "(none)" : args[0]);
    EXPECT_EQ(r.status, 1);
  }
}

TEST_F(ZelnorTest, FailedFilesAreReportedAndTheRunGoesOn) {
  mkdir((dir / "sub").c_str(), 0755);
  RunResult r = zelnor({"abc", "missing", "sub", "empty"});
  EXPECT_EQ(r.out, "abc: 16458,      3 bytes\nempty:     0,      0 bytes\n");
  EXPECT_EQ(r.err, kNotice +
                       "zelnor: couldn't open <missing> for reading  --> reason: No such file or "
                       "directory\n"
                       "zelnor: error reading <sub>  --> reason: Is a directory\n");
  EXPECT_EQ(r.status, 1);
}

TEST_F(ZelnorTest, UnwritableOutputIsAFailure) {
  RunOptions options;
  options.stdout_path = "/dev/full";
  RunResult r = zelnor({"abc"}, options);
  EXPECT_EQ(r.err, kNotice +
                       "zelnor: error writing <standard output>  --> reason: No space left on "
                       "device\n");
  EXPECT_EQ(r.status, 1);
}

TEST_F(ZelnorTest, LengthBeyondThirtyOneBits) {
  // A sparse 3 GiB file of zeros ending in "abc": the zeros leave the sum at 0.
  constexpr off_t kSize = off_t{3} << 30;
  const std::string path = dir / "big";
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(pwrite(fd, "abc", 3, kSize - 3), 3);
  close(fd);
  RunResult r = zelnor({"big"});
  EXPECT_EQ(r.out, "big: 16458, 3221225472 bytes\n");
  EXPECT_EQ(r.err, kNotice);
  EXPECT_EQ(r.status, 0);
}

TEST_F(ZelnorTest, AClosedStandardOutputFailsOnlyWhenWritten) {
  RunResult r = run_program("/bin/sh", {"-c", "exec \"$0\" -v >&-", ZELNOR_PATH}, RunOptions{dir.path(), "", "", -1});
  EXPECT_EQ(r.err, kNotice + "This is Zelnor 0.2.\n");
  EXPECT_EQ(r.status, 1);
  r = run_program("/bin/sh", {"-c", "exec \"$0\" abc >&-", ZELNOR_PATH}, RunOptions{dir.path(), "", "", -1});
  EXPECT_EQ(r.err, kNotice + "zelnor: error writing <standard output>  --> reason: Bad file descriptor\n");
  EXPECT_EQ(r.status, 1);
}

}  // namespace
