// run_program: runs a built program as a child process for end-to-end tests.
#ifndef TESTING_RUN_PROGRAM_H_
#define TESTING_RUN_PROGRAM_H_

#include <cstdint>
#include <string>
#include <vector>

struct RunOptions {
  std::string cwd;              // working directory of the child; empty: ours
  std::string stdin_data;       // fed to the child's standard input, then EOF
  std::string stdout_path;      // non-empty: the child's stdout goes to this file
  int64_t file_size_limit = -1; // >= 0: RLIMIT_FSIZE of the child, SIGXFSZ left to kill it
  bool merge_stderr = false;    // the child's stderr goes where its stdout goes (2>&1)
};

struct RunResult {
  std::string out;  // everything the child wrote to standard output
  std::string err;  // everything the child wrote to standard error; "" when merged
  int status = -1;  // exit status; 128 + signal number if killed by a signal
};

// Runs `program` with `args` (argv[0] is `program`), feeds stdin_data and
// collects both output streams until the child exits. Aborts the test binary
// if the child cannot be started at all.
RunResult run_program(const std::string& program, const std::vector<std::string>& args,
                      const RunOptions& options = {});

// Test-side file helpers: whole-file read and write; read_file returns "" for
// a missing file, file_exists tells the two apart.
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
