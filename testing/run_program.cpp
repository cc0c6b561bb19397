#include "run_program.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

[[noreturn]] void die(const char* what) {
  std::perror(what);
  std::abort();
}

void make_pipe(int fds[2]) {
  if (pipe2(fds, O_CLOEXEC) != 0) die("pipe2");
}

[[noreturn]] void exec_child(const std::string& program, const std::vector<std::string>& args,
                             const RunOptions& options, int in_fd, int out_fd, int err_fd) {
  signal(SIGPIPE, SIG_DFL);
  dup2(in_fd, 0);
  if (!options.stdout_path.empty()) {
    int fd = open(options.stdout_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) _exit(126);
    dup2(fd, 1);
  } else {
    dup2(out_fd, 1);
  }
  dup2(options.merge_stderr ? 1 : err_fd, 2);
  if (!options.cwd.empty() && chdir(options.cwd.c_str()) != 0) _exit(126);
  if (options.file_size_limit >= 0) {
    // The program must survive the limit by itself: a write past it fails.
    signal(SIGXFSZ, SIG_DFL);
    rlimit limit{static_cast<rlim_t>(options.file_size_limit),
                 static_cast<rlim_t>(options.file_size_limit)};
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(126);
  }
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  execv(program.c_str(), argv.data());
  _exit(127);
}

}  // namespace

RunResult run_program(const std::string& program, const std::vector<std::string>& args,
                      const RunOptions& options) {
  signal(SIGPIPE, SIG_IGN);  // a child that stops reading its input must not kill us
  int in[2], out[2], err[2];
  make_pipe(in);
  make_pipe(out);
  make_pipe(err);
  pid_t pid = fork();
  if (pid < 0) die("fork");
  if (pid == 0) exec_child(program, args, options, in[0], out[1], err[1]);
  close(in[0]);
  close(out[1]);
  close(err[1]);

  RunResult result;
  size_t fed = 0;
  int to_child = in[1];
  if (options.stdin_data.empty()) {
    close(to_child);
    to_child = -1;
  } else {
    fcntl(to_child, F_SETFL, O_NONBLOCK);
  }
  int from_out = out[0], from_err = err[0];
  while (from_out >= 0 || from_err >= 0) {
    pollfd fds[3];
    int n = 0;
    if (from_out >= 0) fds[n++] = {from_out, POLLIN, 0};
    if (from_err >= 0) fds[n++] = {from_err, POLLIN, 0};
    if (to_child >= 0) fds[n++] = {to_child, POLLOUT, 0};
    if (poll(fds, n, -1) < 0) {
      if (errno == EINTR) continue;
      die("poll");
    }
    for (int i = 0; i < n; i++) {
      if (fds[i].revents == 0) continue;
      if (fds[i].fd == to_child) {
        ssize_t w = write(to_child, options.stdin_data.data() + fed,
                          options.stdin_data.size() - fed);
        if (w > 0) fed += static_cast<size_t>(w);
        if (w < 0 && errno != EAGAIN) fed = options.stdin_data.size();  // child closed stdin
        if (fed == options.stdin_data.size()) {
          close(to_child);
          to_child = -1;
        }
        continue;
      }
      char buf[65536];
      ssize_t r = read(fds[i].fd, buf, sizeof buf);
      std::string& sink = fds[i].fd == from_out ? result.out : result.err;
      if (r > 0) {
        sink.append(buf, static_cast<size_t>(r));
      } else if (r == 0 || errno != EINTR) {
        close(fds[i].fd);
        (fds[i].fd == from_out ? from_out : from_err) = -1;
      }
    }
  }
  if (to_child >= 0) close(to_child);
  int wstatus = 0;
  while (waitpid(pid, &wstatus, 0) < 0) {
    if (errno != EINTR) die("waitpid");
  }
  result.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
  return result;
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
