// Arbitrary screens, still or animated, through rendering and compression:
// each GIF written must decode, with giflib, to exactly the rendered frames.
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "gif_check.h"
#include "screen.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/fuzz_gif_writer." + std::to_string(getpid()) + ".gif";
  if (size < 2) return 0;
  for (size_t i = 0; i < kScreenBytes; ++i) converter.screen_data[i] = data[1 + i % (size - 1)];
  const DecodedGif gif = decode_gif(write_screen_gif(path, data[0] & 1));
  std::remove(path.c_str());
  const size_t frames = (data[0] & 1) + 1;
  if (!gif.error.empty() || gif.frames.size() != frames || gif.frames[0] != rendered(0) ||
      (frames == 2 && gif.frames[1] != rendered(1))) {
    std::abort();
  }
  return 0;
}
