#include "gif_check.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>

namespace {

struct Source {
  const std::string* bytes;
  size_t position;
};

int read_source(GifFileType* gif, GifByteType* out, int length) {
  Source* source = static_cast<Source*>(gif->UserData);
  const size_t n = std::min<size_t>(length, source->bytes->size() - source->position);
  std::memcpy(out, source->bytes->data() + source->position, n);
  source->position += n;
  return static_cast<int>(n);
}

void read_extensions(const ExtensionBlock* blocks, int count, DecodedGif* result) {
  result->extension_blocks += count;
  for (int i = 0; i < count; ++i) {
    GraphicsControlBlock control;
    if (blocks[i].Function == GRAPHICS_EXT_FUNC_CODE &&
        DGifExtensionToGCB(blocks[i].ByteCount, blocks[i].Bytes, &control) == GIF_OK) {
      result->delays.push_back(control.DelayTime);
    }
    if (blocks[i].Function == APPLICATION_EXT_FUNC_CODE && i + 1 < count &&
        blocks[i].ByteCount == 11 && std::memcmp(blocks[i].Bytes, "NETSCAPE2.0", 11) == 0 &&
        blocks[i + 1].ByteCount == 3 && blocks[i + 1].Bytes[0] == 1) {
      result->loop_count = blocks[i + 1].Bytes[1] | blocks[i + 1].Bytes[2] << 8;
    }
  }
}

}  // namespace

DecodedGif decode_gif(const std::string& bytes) {
  DecodedGif result;
  Source source{&bytes, 0};
  int error = 0;
  GifFileType* gif = DGifOpen(&source, read_source, &error);
  if (!gif) {
    result.error = "DGifOpen failed";
    return result;
  }
  if (DGifSlurp(gif) != GIF_OK) {
    result.error = GifErrorString(gif->Error);
  } else {
    result.width = gif->SWidth;
    result.height = gif->SHeight;
    read_extensions(gif->ExtensionBlocks, gif->ExtensionBlockCount, &result);
    for (int i = 0; i < gif->ImageCount; ++i) {
      const SavedImage& image = gif->SavedImages[i];
      const GifImageDesc& d = image.ImageDesc;
      if (d.Left != 0 || d.Top != 0 || d.Width != 256 || d.Height != 192 || d.Interlace) {
        result.error = "unexpected image rectangle";
      } else {
        result.frames.emplace_back(image.RasterBits, image.RasterBits + 256 * 192);
      }
      read_extensions(image.ExtensionBlocks, image.ExtensionBlockCount, &result);
    }
  }
  DGifCloseFile(gif, &error);
  return result;
}

