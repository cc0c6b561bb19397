// Arbitrary screens, still or animated, through rendering and compression:
// each GIF written must decode, with giflib, to exactly the rendered frames.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "gif_writer.h"
#include "screen.h"
#include "test_gif_frames.h"

namespace {

// Writes converter.screen_data to `path` through the writer's operations;
// false when one of them fails.
bool write_screen_gif(const std::string& path, bool animated) {
  converter.animated = animated;
  if (gif_create(path.c_str(), 320, 240, kScreenColours, 6) != GIF_OK) return false;
  for (int i = 0; i < kScreenColours; ++i) {
    gif_set_colour(i, screen_palette[i].red, screen_palette[i].green, screen_palette[i].blue);
  }
  gif_write_globals();
  const bool ok = gif_compress_image(0) == GIF_OK && (!animated || gif_compress_image(1) == GIF_OK);
  return gif_close() == GIF_OK && ok;
}

std::string rendered(uint8_t phase) {
  render_frame(phase);
  return std::string(converter.pixel_frame.begin(), converter.pixel_frame.end());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/fuzz_gif_writer." + std::to_string(getpid()) + ".gif";
  if (size < 2) return 0;
  for (size_t i = 0; i < kScreenBytes; ++i) converter.screen_data[i] = data[1 + i % (size - 1)];
  const bool animated = data[0] & 1;
  if (!write_screen_gif(path, animated)) std::abort();
  const std::vector<std::string> frames = decoded_frames(path);
  std::remove(path.c_str());
  if (frames.size() != (animated ? 2u : 1u) || frames[0] != rendered(0) || (animated && frames[1] != rendered(1))) {
    std::abort();
  }
  return 0;
}
