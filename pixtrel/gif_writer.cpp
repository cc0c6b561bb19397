#include "gif_writer.h"

#include <cassert>
#include <cstdlib>

#include "screen.h"

GifWriter gif_writer;

namespace {

constexpr uint8_t kGlobalTableFlag = 0x80;
constexpr uint8_t kTrailer = 0x3B;

// Application extension: introducer, label, block size 11, identifier and
// authentication code, sub-block 1 with loop count 0 (for ever), terminator.
constexpr uint8_t kLoopExtension[19] = {0x21, 0xFF, 0x0B, 'N', 'E', 'T', 'S', 'C', 'A', 'P',
                                        'E',  '2',  '.',  '0', 0x03, 0x01, 0x00, 0x00, 0x00};

}  // namespace

bool gif_put_byte(unsigned value) {
  return std::putc(static_cast<int>(value & 0xFF), gif_writer.gif_file.get()) != EOF;
}

bool gif_put_word(unsigned value) { return gif_put_byte(value) && gif_put_byte(value >> 8); }

int bits_needed(unsigned n) {
  if (n == 0) return 0;
  int bits = 1;
  while ((1u << bits) < n) ++bits;
  return bits;
}

GifStatus gif_create(const char* path, uint16_t width, uint16_t height, uint16_t colours,
                     int16_t bits_per_primary) {
  assert(path != nullptr && bits_per_primary >= 1 && bits_per_primary <= 8);
  GifWriter& w = gif_writer;
  w.colour_count = static_cast<uint16_t>(1u << bits_needed(colours));
  w.bits_per_primary = bits_per_primary;
  w.screen_width = width;
  w.screen_height = height;

  w.gif_file.reset(std::fopen(path, "wb"));
  if (!w.gif_file) return GIF_ERR_CREATE;
  const char* signature = converter.animated ? "GIF89a" : "GIF87a";
  if (std::fwrite(signature, 1, 6, w.gif_file.get()) != 6) return GIF_ERR_WRITE;

  const unsigned packed = kGlobalTableFlag | ((bits_per_primary - 1) & 7) << 4 |
                          ((bits_needed(w.colour_count) - 1) & 7);
  if (!gif_put_word(width) || !gif_put_word(height) || !gif_put_byte(packed) ||
      !gif_put_byte(0) /* background colour index */ || !gif_put_byte(0) /* aspect ratio */) {
    return GIF_ERR_WRITE;
  }

  w.colour_table.reset(static_cast<uint8_t*>(std::calloc(w.colour_count, 3)));
  if (!w.colour_table) return GIF_ERR_MEMORY;
  return GIF_OK;
}

void gif_set_colour(unsigned index, unsigned red, unsigned green, unsigned blue) {
  GifWriter& w = gif_writer;
  assert(w.colour_table && index < w.colour_count);
  const unsigned max = (1u << w.bits_per_primary) - 1;
  uint8_t* entry = &w.colour_table[index * 3];
  entry[0] = static_cast<uint8_t>(red * 255 / max);
  entry[1] = static_cast<uint8_t>(green * 255 / max);
  entry[2] = static_cast<uint8_t>(blue * 255 / max);
}

void gif_write_globals() {
  GifWriter& w = gif_writer;
  const size_t table_bytes = w.colour_count * 3u;
  if (std::fwrite(w.colour_table.get(), 1, table_bytes, w.gif_file.get()) != table_bytes) return;
  if (converter.animated) {
    (void)std::fwrite(kLoopExtension, 1, sizeof kLoopExtension, w.gif_file.get());
  }
}

GifStatus gif_close() {
  GifWriter& w = gif_writer;
  if (!gif_put_byte(kTrailer)) return GIF_ERR_WRITE;
  FILE* file = w.gif_file.release();
  // A write that failed before, or one that fails only now while the buffer
  // is flushed, means the file on disk is not whole.
  bool failed = std::ferror(file) != 0;
  if (std::fclose(file) != 0) failed = true;
  gif_free_tables();
  w.colour_table.reset();
  return failed ? GIF_ERR_WRITE : GIF_OK;
}
