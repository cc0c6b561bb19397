// run_program: test support: runs a built program as a child process and
// checks what it wrote, for the end-to-end tests.
#ifndef TESTING_RUN_PROGRAM_H_
#define TESTING_RUN_PROGRAM_H_

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

struct RunOptions {
  std::string cwd{};             // working directory of the child; empty: ours
  std::string stdin_data{};      // the child's standard input, from a file holding it
  std::vector<std::string> environment{};  // "NAME=value" entries added to the child's environment
  // Where given, the child runs under strace, which injects into its system calls as `injection` says (strace's
  // -e inject=, as "write:error=EIO:when=3"), counting only the calls on `injected_path` where one is given (as the
  // program names it, or absolute); LeakSanitizer, which cannot work under ptrace, is off. strace ends as it does.
  std::string injection{};
  std::string injected_path{};
};

struct RunResult {
  std::string command;  // the program and its arguments, for messages
  std::string out;      // everything the child wrote to standard output
  std::string err;      // everything the child wrote to standard error
  int status = 0;       // the exit status, or minus the signal that ended the child
};

// Runs `program` with `args` (argv[0] is `program`), SIGINT, SIGTERM, SIGHUP
// and SIGPIPE at their default actions, and collects its standard output and
// error once it has exited. Aborts the test if it cannot be started.
RunResult run_program(const std::string& program, const std::vector<std::string>& args,
                      const RunOptions& options = {});

// Checks the whole of a run, one value a check: `status` as RunResult holds it,
// so that exit(128 + signal) does not pass for the signal. A failure names
// `what` and the command line.
void expect_run(const RunResult& actual, const std::string& out, const std::string& err, int status,
                const std::string& what = "");

// Runs `program` once for each allocation n = 1, 2, ... with the n-th call of
// malloc, calloc or realloc failing (test_fail_nth_allocation, preloaded),
// until a run makes fewer than n; calls `check` with n and each run that had
// one fail. Returns the allocations of the run that had none fail, or -1 under
// the sanitizers, whose allocator stands where the failing one would.
int for_each_failed_allocation(const std::string& program, const std::vector<std::string>& args,
                               const RunOptions& options,
                               const std::function<void(int, const RunResult&)>& check);

// For EXPECT_PRED_FORMAT2 on file contents: a difference shown by the sizes
// and the first offset that differs, not by both whole strings.
::testing::AssertionResult SameBytes(const char* actual_text, const char* expected_text,
                                     const std::string& actual, const std::string& expected);

// Whole files; read_file gives "" for a missing one, and to file_exists a
// dangling link exists.
std::string read_file(const std::string& path);
void write_file(const std::string& path, const std::string& data);
bool file_exists(const std::string& path);

// A fresh empty directory, removed with all below it when the TempDir goes.
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
