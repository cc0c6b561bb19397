// mobrick: copies Amstrad CPC, +3 and PCW disks between a raw 'dd' dump and a
// DSK image, and formats DSK images, through a menu on standard input.
#include <cstdio>
#include <new>

#include "menu.h"
#include "process_setup.h"
#include "program_state.h"

namespace {
// Allocated once at start-up and kept until the process ends.
ProgramState* state = nullptr;
}  // namespace

int main() {
  if (!fill_closed_standard_descriptors()) {
    std::fputs("mobrick: cannot open /dev/null\n", stderr);
    return 1;
  }
  ignore_file_size_signal();
  state = new (std::nothrow) ProgramState;
  if (state == nullptr) {
    std::fputs("malloc: no memory\n", stderr);
    return 1;
  }
  init_program_state(*state, Console{stdin, stdout, stderr});
  const int status = run_menu(*state);
  if (std::ferror(stdin)) std::fputs("mobrick: error reading standard input\n", stderr);
  // Messages that could not all be written (a full disk) fail the run; the
  // error flag stays set after the failed flush that found it.
  const bool failed_before = std::ferror(stdout);
  if (std::fclose(stdout) != 0 || failed_before) {
    std::fputs("mobrick: error writing standard output\n", stderr);
    return 1;
  }
  return status;
}
