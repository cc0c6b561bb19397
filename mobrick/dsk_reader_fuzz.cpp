// Feeds arbitrary bytes as a DSK image through the copy into a 'dd' file.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "program_state.h"
#include "transfer.h"

namespace {
std::string image_path, dd_path;
void remove_files() { unlink(image_path.c_str()), unlink(dd_path.c_str()); }
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static FILE* const sink = std::fopen("/dev/null", "w");
  static ProgramState* const state = new ProgramState;
  if (image_path.empty()) {
    const std::string stem = "/tmp/fuzz_dsk_reader." + std::to_string(getpid());
    image_path = stem + ".dsk", dd_path = stem + ".dd";
    std::atexit(remove_files);
  }
  FILE* image = std::fopen(image_path.c_str(), "w");
  if (image == nullptr || std::fwrite(data, 1, size, image) != size || std::fclose(image) != 0) std::abort();
  init_program_state(*state, Console{nullptr, sink, sink});
  std::strcpy(state->image.name.data(), image_path.c_str());
  std::strcpy(state->dd.name.data(), dd_path.c_str());
  if (copy_image_to_dd(*state) == Outcome::kInputEnded) std::abort();  // this copy asks nothing
  if (state->image.stream.is_open() || state->dd.stream.is_open()) std::abort();  // closed on every way out
  return 0;
}
