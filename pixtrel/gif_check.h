// gif_check: test support: writes a screen through the GIF writer and decodes
// GIF files with giflib, an independent decoder.
#ifndef PIXTREL_GIF_CHECK_H_
#define PIXTREL_GIF_CHECK_H_

#include <cstdint>
#include <string>
#include <vector>

struct DecodedGif {
  std::string error;  // empty when giflib read the whole file
  int width = 0, height = 0;
  std::vector<std::vector<uint8_t>> frames;  // 256 x 192 colour indices each
  std::vector<int> delays;                   // per graphic control extension
  int loop_count = -1;                       // -1: no loop extension
  int extension_blocks = 0;
};

// Decodes a whole GIF file held in `bytes`; frames must be 256 x 192 at (0, 0).
DecodedGif decode_gif(const std::string& bytes);

// Writes converter.screen_data as a GIF at `path` with the driver's calls
// (still, or animated when `animated`) and returns the file's bytes, or ""
// when a writer operation failed.
std::string write_screen_gif(const std::string& path, bool animated);

// The image of `gif` from its separator at `start` to its block terminator.
std::string image_at(const std::string& gif, size_t start);

// The rendered frame of converter.screen_data for `phase`.
std::vector<uint8_t> rendered(uint8_t phase);

#endif  // PIXTREL_GIF_CHECK_H_
