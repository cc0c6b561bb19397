#include "test_gif_frames.h"

#include <gif_lib.h>

std::vector<std::string> decoded_frames(const std::string& path) {
  std::vector<std::string> frames;
  int error = 0;
  GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
  if (gif != nullptr && DGifSlurp(gif) == GIF_OK) {
    for (int i = 0; i < gif->ImageCount; ++i) {
      const SavedImage& image = gif->SavedImages[i];
      frames.emplace_back(reinterpret_cast<char*>(image.RasterBits), image.ImageDesc.Width * image.ImageDesc.Height);
    }
  }
  DGifCloseFile(gif, &error);
  return frames;
}
