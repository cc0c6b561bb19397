#include "gif_check.h"

#include <fstream>
#include <sstream>

#include "gif_writer.h"
#include "screen.h"

std::string write_screen_gif(const std::string& path, bool animated) {
  converter.animated = animated;
  if (gif_create(path.c_str(), 320, 240, 16, 6) != GIF_OK) return "";
  for (int i = 0; i < 16; ++i) gif_set_colour(i, screen_palette[i].red, screen_palette[i].green, screen_palette[i].blue);
  gif_write_globals();
  bool ok = gif_compress_image(0) == GIF_OK && (!animated || gif_compress_image(1) == GIF_OK);
  ok = gif_close() == GIF_OK && ok;
  std::ostringstream bytes;
  bytes << std::ifstream(path, std::ios::binary).rdbuf();
  return ok ? bytes.str() : "";
}

std::vector<uint8_t> rendered(uint8_t phase) {
  render_frame(phase);
  return {converter.pixel_frame.begin(), converter.pixel_frame.end()};
}
