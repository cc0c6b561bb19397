// mobrick: copies Amstrad CPC, +3 and PCW disks between a raw 'dd' dump and a
// DSK image, and formats DSK images, through a menu on standard input.
#include <cstdio>
#include <cstdlib>
#include <new>

#include "dialogue.h"
#include "file_stream.h"
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
  // malloc fails plainly where new would need memory for its exception.
  void* memory = std::malloc(sizeof(ProgramState));
  if (memory == nullptr) {
    std::fputs(kNoMemory, stderr);
    return 1;
  }
  state = new (memory) ProgramState;
  init_program_state(*state, Console{stdin, stdout, stderr});
  const int status = run_menu(*state);
  if (std::ferror(stdin)) std::fputs("mobrick: error reading standard input\n", stderr);
  // Messages that could not all be written (a full disk) fail the run.
  FileStream output(stdout);
  if (!output.close()) {
    std::fputs("mobrick: error writing standard output\n", stderr);
    return 1;
  }
  return status;
}
