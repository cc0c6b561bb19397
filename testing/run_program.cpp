#include "run_program.h"

#include <sys/mman.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

[[noreturn]] void die(const char* what) {
  std::perror(what);
  std::abort();
}

// A file in memory holding `data`, open at its start.
int file_holding(const std::string& data) {
  const int fd = memfd_create("run-program", MFD_CLOEXEC);
  if (fd < 0) die("memfd_create");
  if (write(fd, data.data(), data.size()) != static_cast<ssize_t>(data.size())) die("write");
  if (lseek(fd, 0, SEEK_SET) != 0) die("lseek");
  return fd;
}

// What the child wrote into the file open as `fd`, read through a fresh open at its start.
std::string contents(int fd) { return read_file("/proc/self/fd/" + std::to_string(fd)); }

[[noreturn]] void exec_child(const std::vector<std::string>& args, const RunOptions& options, int in_fd, int out_fd,
                             int err_fd) {
  for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) signal(sig, SIG_DFL);
  if (dup2(in_fd, 0) < 0 || dup2(out_fd, 1) < 0 || dup2(err_fd, 2) < 0) _exit(126);
  if (!options.cwd.empty() && chdir(options.cwd.c_str()) != 0) _exit(126);
  for (const std::string& entry : options.environment) putenv(const_cast<char*>(entry.c_str()));
  if (!options.injection.empty()) putenv(const_cast<char*>("ASAN_OPTIONS=detect_leaks=0"));
  std::vector<char*> argv;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  execv(argv[0], argv.data());
  _exit(127);
}

}  // namespace

RunResult run_program(const std::string& program, const std::vector<std::string>& args,
                      const RunOptions& options) {
  std::vector<std::string> argv = {program};
  argv.insert(argv.end(), args.begin(), args.end());
  if (!options.injection.empty()) {
    const std::string& injection = options.injection;
    const std::string call = injection.substr(0, injection.find(':'));
    argv.insert(argv.begin(), {STRACE_PATH, "-o", "/dev/null", "-e", "trace=" + call, "-e", "inject=" + injection});
    if (!options.injected_path.empty()) argv.insert(argv.begin() + 7, {"-P", options.injected_path});
  }
  const int in = file_holding(options.stdin_data), out = file_holding(""), err = file_holding("");
  const pid_t pid = fork();
  if (pid < 0) die("fork");
  if (pid == 0) exec_child(argv, options, in, out, err);
  int wstatus = 0;
  while (waitpid(pid, &wstatus, 0) < 0) {
    if (errno != EINTR) die("waitpid");
  }
  RunResult result{program, contents(out), contents(err)};
  for (const auto& a : args) result.command += " " + a;
  for (int fd : {in, out, err}) close(fd);
  result.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -WTERMSIG(wstatus);
  return result;
}

void expect_run(const RunResult& actual, const std::string& out, const std::string& err, int status,
                const std::string& what) {
  EXPECT_EQ(actual.out, out) << what << ": " << actual.command;
  EXPECT_EQ(actual.err, err) << what << ": " << actual.command;
  EXPECT_EQ(actual.status, status) << what << ": " << actual.command;
}

int for_each_failed_allocation(const std::string& program, const std::vector<std::string>& args,
                               const RunOptions& options,
                               const std::function<void(int, const RunResult&)>& check) {
#if defined(__SANITIZE_ADDRESS__)
  // The sanitizer's allocator stands where the preloaded library would.
  (void)program, (void)args, (void)options, (void)check;
  return -1;
#else
  constexpr int kMostAllocations = 100000;
  const std::string mark = (std::filesystem::temp_directory_path() / "failed-allocation-mark").string() +
                           std::to_string(getpid());
  for (int n = 1; n <= kMostAllocations; ++n) {
    RunOptions failing = options;
    failing.environment.insert(failing.environment.end(), {"LD_PRELOAD=" FAIL_NTH_ALLOCATION_LIBRARY,
                                                           "FAIL_ALLOCATION=" + std::to_string(n),
                                                           "FAIL_ALLOCATION_MARK=" + mark});
    const RunResult result = run_program(program, args, failing);
    if (unlink(mark.c_str()) != 0) return n - 1;  // the run made fewer than n allocations
    check(n, result);
  }
  ADD_FAILURE() << program << " made more than " << kMostAllocations << " allocations";
  return kMostAllocations;
#endif
}

::testing::AssertionResult SameBytes(const char* actual_text, const char* expected_text,
                                     const std::string& actual, const std::string& expected) {
  if (actual == expected) return ::testing::AssertionSuccess();
  size_t at = 0;
  while (at < actual.size() && at < expected.size() && actual[at] == expected[at]) ++at;
  auto byte = [at](const std::string& bytes) {
    return at < bytes.size() ? ::testing::PrintToString(static_cast<unsigned char>(bytes[at])) : "the end";
  };
  return ::testing::AssertionFailure() << actual_text << " (" << actual.size() << " bytes) differs from "
                                       << expected_text << " (" << expected.size() << " bytes) first at offset "
                                       << at << ": " << byte(actual) << " instead of " << byte(expected);
}

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void write_file(const std::string& path, const std::string& data) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(data.data(), static_cast<std::streamsize>(data.size()));
  if (!out) die(path.c_str());
}

bool file_exists(const std::string& path) {
  return std::filesystem::exists(std::filesystem::symlink_status(path));
}

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "rt-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) die("mkdtemp");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}
