// Fuzzes the writer with arbitrary screens: each GIF written must decode
// (with giflib) to exactly the frames that were rendered.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "gif_check.h"
#include "screen.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/fuzz_gif_writer." + std::to_string(getpid()) + ".gif";
  // The first byte selects an animation; the rest, repeated, is the screen.
  if (size < 2) return 0;
  const bool animated = data[0] & 1;
  for (size_t i = 0; i < kScreenBytes; ++i) converter.screen_data[i] = data[1 + i % (size - 1)];
  const std::string gif = write_screen_gif(path, animated);
  std::remove(path.c_str());
  const DecodedGif decoded = decode_gif(gif);
  if (gif.empty() || !decoded.error.empty() || decoded.frames.size() != (animated ? 2u : 1u) ||
      decoded.frames[0] != rendered(0) || (animated && decoded.frames[1] != rendered(1))) {
    std::fprintf(stderr, "GIF does not decode to its frames: %s\n", decoded.error.c_str());
    std::abort();
  }
  return 0;
}
