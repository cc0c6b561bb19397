// Feeds arbitrary bytes as a DSK image through the copy into a 'dd' file.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

#include "program_state.h"
#include "transfer.h"

namespace {

struct Paths {
  char image[64];
  char dd[64];
};

Paths make_paths() {
  Paths paths{};
  char dir[] = "/tmp/fuzz_dsk_reader_XXXXXX";
  if (mkdtemp(dir) == nullptr) std::abort();
  std::snprintf(paths.image, sizeof paths.image, "%s/in.dsk", dir);
  std::snprintf(paths.dd, sizeof paths.dd, "%s/out.dd", dir);
  return paths;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const Paths paths = make_paths();
  static FILE* const sink = std::fopen("/dev/null", "w");
  static ProgramState* const state = new ProgramState;

  FILE* image = std::fopen(paths.image, "w");
  if (image == nullptr || std::fwrite(data, 1, size, image) != size || std::fclose(image) != 0) std::abort();
  init_program_state(*state, Console{nullptr, sink, sink});
  std::strcpy(state->image.name.data(), paths.image);
  std::strcpy(state->dd.name.data(), paths.dd);
  const Outcome outcome = copy_image_to_dd(*state);
  if (outcome == Outcome::kInputEnded) std::abort();  // this copy asks nothing
  if (state->image.stream.is_open() || state->dd.stream.is_open()) std::abort();
  return 0;
}
