#include <gif_lib.h>

#include <algorithm>
#include <cstring>

#include "gif_check.h"

static int read_bytes(GifFileType* gif, GifByteType* out, int length) {
  auto* rest = static_cast<std::string*>(gif->UserData);
  const size_t n = std::min<size_t>(length, rest->size());
  std::memcpy(out, rest->data(), n);
  rest->erase(0, n);
  return static_cast<int>(n);
}

DecodedGif decode_gif(const std::string& bytes) {
  DecodedGif result;
  std::string rest = bytes;
  int error = 0;
  GifFileType* gif = DGifOpen(&rest, read_bytes, &error);
  if (!gif || DGifSlurp(gif) != GIF_OK) {
    result.error = GifErrorString(gif ? gif->Error : error);
  } else {
    result.width = gif->SWidth;
    result.height = gif->SHeight;
    result.extensions = gif->ExtensionBlockCount;
    for (int i = 0; i < gif->ImageCount; ++i) {
      const SavedImage& image = gif->SavedImages[i];
      result.frames.emplace_back(image.RasterBits, image.RasterBits + image.ImageDesc.Width * image.ImageDesc.Height);
      GraphicsControlBlock control;
      result.delays.push_back(DGifSavedExtensionToGCB(gif, i, &control) == GIF_OK ? control.DelayTime : -1);
      result.extensions += image.ExtensionBlockCount;
    }
  }
  if (gif) DGifCloseFile(gif, &error);
  return result;
}
