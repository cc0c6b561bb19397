// gif_check: test support: the driver's writer calls for one screen, and the
// reading of a GIF file by giflib, a decoder independent of ours.
#ifndef PIXTREL_GIF_CHECK_H_
#define PIXTREL_GIF_CHECK_H_

#include <cstdint>
#include <string>
#include <vector>

struct DecodedGif {
  std::string error;  // empty when giflib read the whole file
  int width = 0, height = 0, extensions = 0;
  std::vector<std::vector<uint8_t>> frames;  // colour indices, row by row
  std::vector<int> delays;                   // per frame, -1 without a control extension
};
DecodedGif decode_gif(const std::string& bytes);

// Writes converter.screen_data to `path` as the driver does and returns the
// file's bytes, "" when a writer operation failed; rendered() gives a frame.
// It repeats the driver's calls, so it cannot check them: the driver's colour
// table is checked in the GIFs that the program itself writes.
std::string write_screen_gif(const std::string& path, bool animated);
std::vector<uint8_t> rendered(uint8_t phase);

#endif  // PIXTREL_GIF_CHECK_H_
