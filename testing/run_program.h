// run_program: test support: runs a built program as a child process and
// checks what it wrote, for the end-to-end tests.
#ifndef TESTING_RUN_PROGRAM_H_
#define TESTING_RUN_PROGRAM_H_

#include <sys/types.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct RunOptions {
  std::string cwd{};             // working directory of the child; empty: ours
  std::string stdin_data{};      // the child's standard input, from a file holding it
  std::string stdout_path{};     // non-empty: the child's stdout goes to this file
  int64_t file_size_limit = -1;  // >= 0: RLIMIT_FSIZE of the child, SIGXFSZ left to kill it
  // Called with the child's pid once it runs, before its output is read; the
  // child may write up to a pipe's capacity (64 KiB) meanwhile.
  std::function<void(pid_t)> started = nullptr;
};

struct RunResult {
  std::string out;  // everything the child wrote to standard output
  std::string err;  // everything the child wrote to standard error
  int status = -1;  // exit status; 128 + signal number if killed by a signal
};

// Runs `program` with `args` (argv[0] is `program`) and collects both output
// streams until the child exits. The child starts with SIGINT, SIGTERM, SIGHUP
// and SIGPIPE at their default actions. Closed streams and 2>&1 are set up
// through /bin/sh. Aborts the test binary if the child cannot be started.
RunResult run_program(const std::string& program, const std::vector<std::string>& args,
                      const RunOptions& options = {});

// Checks the whole of a run, one value at a time; a failure names `what`.
void expect_run(const RunResult& actual, const std::string& out, const std::string& err, int status,
                const std::string& what = "");

// For EXPECT_PRED_FORMAT2 on file contents: on a difference, the two sizes and
// the first offset at which the bytes differ, instead of both whole strings.
::testing::AssertionResult SameBytes(const char* actual_text, const char* expected_text,
                                     const std::string& actual, const std::string& expected);

// Test-side file helpers: whole-file read and write; read_file returns "" for
// a missing file, file_exists tells the two apart (a dangling link exists).
std::string read_file(const std::string& path);
void write_file(const std::string& path, const std::string& data);
bool file_exists(const std::string& path);

// A fresh empty directory under the system's temporary directory; removed,
// with everything below it, when the TempDir is destroyed.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

#endif  // TESTING_RUN_PROGRAM_H_
