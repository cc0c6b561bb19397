#include "removal.h"

#include <limits.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstring>

namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

// The armed file: its path, device and inode. They change only while
// `armed` is false, so the handler never reads them half written.
std::atomic<bool> armed{false};
static_assert(ATOMIC_BOOL_LOCK_FREE == 2, "a signal handler may read only lock-free atomics");
char armed_path[PATH_MAX];
dev_t armed_device;
ino_t armed_inode;

sigset_t interrupt_signals() {
  sigset_t set;
  sigemptyset(&set);
  for (int sig : kSignals) sigaddset(&set, sig);
  return set;
}

// Async-signal-safe: lstat, unlink, signal and raise. The signal is blocked
// while the handler runs, so the raised one ends the process as the handler
// returns.
void remove_armed_file_and_end(int sig) {
  remove_armed_file();
  signal(sig, SIG_DFL);
  raise(sig);
}

}  // namespace

void install_interrupt_handlers() {
  struct sigaction action {};
  action.sa_handler = remove_armed_file_and_end;
  action.sa_mask = interrupt_signals();
  for (int sig : kSignals) {
    struct sigaction current;
    if (sigaction(sig, nullptr, &current) == 0 && current.sa_handler != SIG_IGN) {
      sigaction(sig, &action, nullptr);
    }
  }
}

sigset_t hold_interrupts() {
  const sigset_t set = interrupt_signals();
  sigset_t held;
  sigprocmask(SIG_BLOCK, &set, &held);
  return held;
}

void release_interrupts(const sigset_t& held) { sigprocmask(SIG_SETMASK, &held, nullptr); }

void arm_removal(const char* path, int fd) {
  armed.store(false);
  struct stat status;
  if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) return;
  // Where the link cannot be followed, the name itself: removed only while
  // it is the file armed, so a link is kept.
  if (realpath(path, armed_path) == nullptr) {
    if (std::strlen(path) >= sizeof armed_path) return;
    std::strcpy(armed_path, path);
  }
  armed_device = status.st_dev;
  armed_inode = status.st_ino;
  armed.store(true);
}

void remove_armed_file() {
  if (!armed.load()) return;
  struct stat status;
  if (lstat(armed_path, &status) == 0 && status.st_dev == armed_device && status.st_ino == armed_inode) {
    unlink(armed_path);
  }
  armed.store(false);
}

void disarm_removal() { armed.store(false); }
