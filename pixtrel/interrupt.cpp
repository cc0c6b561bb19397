#include "interrupt.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>

namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

// The name the handler removes, or null. name_storage changes only while
// armed_name is null, so the handler never reads a name being written.
std::atomic<const char*> armed_name{nullptr};
static_assert(ATOMIC_POINTER_LOCK_FREE == 2, "a signal handler may read only lock-free atomics");
std::string name_storage;

// Async-signal-safe: an atomic load, unlink, signal and raise. The signal is
// blocked while the handler runs, so the raised one ends the process as the
// handler returns.
void remove_armed_file_and_end(int sig) {
  const char* name = armed_name.load();
  if (name != nullptr) unlink(name);
  signal(sig, SIG_DFL);
  raise(sig);
}

}  // namespace

void install_interrupt_handlers() {
  struct sigaction action {};
  action.sa_handler = remove_armed_file_and_end;
  sigemptyset(&action.sa_mask);
  for (int sig : kSignals) sigaddset(&action.sa_mask, sig);
  for (int sig : kSignals) {
    struct sigaction current;
    if (sigaction(sig, nullptr, &current) == 0 && current.sa_handler != SIG_IGN) {
      sigaction(sig, &action, nullptr);
    }
  }
}

void arm_interrupt_removal(const std::string& path) {
  armed_name.store(nullptr);
  name_storage = path;
  armed_name.store(name_storage.c_str());
}

void disarm_interrupt_removal() { armed_name.store(nullptr); }
