// The writer fuzz target's reading of a GIF file by giflib, a decoder
// independent of ours; apart from the target, whose writer header names
// GIF_OK as well.
#include <gif_lib.h>

#include <string>
#include <vector>

// Each image of the GIF file at `path`: its colour indices, row by row; none
// when giflib refuses the file.
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
