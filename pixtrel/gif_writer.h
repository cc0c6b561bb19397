// gif_writer: writes one GIF file at a time: its container blocks, and each
// image's descriptor and LZW-coded data, from the frames of the screen unit.
//
// A still image (converter.animated clear) is a GIF87a file with one image; an
// animation is a GIF89a file with a looping application extension and two
// images, each preceded by a graphic control extension of 32/100 s delay.
// All 16-bit values in the file are little-endian.
#ifndef PIXTREL_GIF_WRITER_H_
#define PIXTREL_GIF_WRITER_H_

#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>

#include "file_holder.h"

// The result of a writer operation; GIF_OK alone means success.
using GifStatus = uint8_t;
constexpr GifStatus GIF_OK = 0;
constexpr GifStatus GIF_ERR_CREATE = 1;        // the output file cannot be opened
constexpr GifStatus GIF_ERR_WRITE = 2;         // a write to the output file failed
constexpr GifStatus GIF_ERR_MEMORY = 3;        // no memory for the colour table
constexpr GifStatus GIF_ERR_CODER_MEMORY = 4;  // no memory for the LZW tables

// The fixed text of `status` (only its low 8 bits count), or "Undefined error
// %02X" for an unknown code. Returns a static 64-byte buffer that the next call
// overwrites.
const char* gif_status_text(unsigned status);

// The colour index source of the compressor: the index at (x, y).
using PixelSource = int16_t (*)(int16_t x, int16_t y);

constexpr int kLzwMaxCodes = 4096;
constexpr int kLzwHashSlots = 9973;

// The writer's program-wide record; one instance, `gif_writer`.
struct GifWriter {
  FileHolder gif_file;  // open from gif_create until gif_close
  uint16_t colour_count = 0;
  int16_t bits_per_primary = 0;
  uint16_t screen_width = 0;
  uint16_t screen_height = 0;
  std::unique_ptr<uint8_t[]> colour_table;  // colour_count x (red, green, blue)

  // The LZW coder's dictionary, held only while an image is coded.
  std::unique_ptr<uint8_t[]> suffix_table;   // kLzwMaxCodes: last index of each code's string
  std::unique_ptr<uint16_t[]> prefix_table;  // kLzwMaxCodes: code of the string without it
  std::unique_ptr<uint16_t[]> hash_table;    // kLzwHashSlots: a code, or 0xFFFF when empty
  uint16_t next_code = 0;

  // The data sub-block being filled: block_count complete bytes, and the byte
  // at block[block_count] with block_bits_free bits still free.
  std::array<uint8_t, 256> block{};
  int32_t block_count = 0;
  int32_t block_bits_free = 8;

  uint16_t image_left = 0;
  uint16_t image_top = 0;
  uint16_t image_width = 0;
  uint16_t image_height = 0;
  uint16_t cursor_x = 0;
  uint16_t cursor_y = 0;
  PixelSource get_pixel = nullptr;
};

extern GifWriter gif_writer;

// The bits needed to number n values: 0 for 0, else the smallest b >= 1 with
// 2^b >= n.
int bits_needed(unsigned n);

// Write the low byte of `value`, or the low 16 bits low byte first, to
// gif_file. Return false when the stream refuses a byte.
[[nodiscard]] bool gif_put_byte(unsigned value);
[[nodiscard]] bool gif_put_word(unsigned value);

// Opens `path` for writing (truncating it) and writes the signature and the
// logical screen descriptor of a width x height screen whose global colour
// table has room for `colours` (rounded up to a power of two), with
// `bits_per_primary` (1 to 8) bits per primary; then allocates the zeroed
// colour table. Returns GIF_ERR_CREATE, GIF_ERR_WRITE or GIF_ERR_MEMORY on
// failure, leaving the file (if opened) open with what was written.
[[nodiscard]] GifStatus gif_create(const char* path, uint16_t width, uint16_t height,
                                   uint16_t colours, int16_t bits_per_primary);

// Enters colour `index` (< colour_count) with levels of bits_per_primary bits,
// scaled to 8 bits. Requires a successful gif_create.
void gif_set_colour(unsigned index, unsigned red, unsigned green, unsigned blue);

// Writes the global colour table and, in an animation, the loop extension. A
// failed write leaves the stream's error indicator set, and gif_close reports it.
void gif_write_globals();

// Writes one image: renders the frame for `phase` (0 normal, else FLASH
// cells swapped), writes the graphic control extension when animated, the
// image descriptor of the 256 x 192 image at the top-left and its LZW data.
// Returns GIF_OK, GIF_ERR_WRITE or GIF_ERR_CODER_MEMORY; the dictionary
// tables are released in every case.
[[nodiscard]] GifStatus gif_compress_image(uint8_t phase);

// Appends the low `width` (1 to 12) bits of `code` to the data stream, writing
// a full 255-byte sub-block first when one is complete and more bits follow.
// Returns the number of bits stored, or -1 when the sub-block write failed.
[[nodiscard]] int gif_put_code(int16_t code, int16_t width);

// Writes the partly filled last sub-block (nothing when it is empty) and
// empties the packer. Returns 0, or -1 when a write failed.
[[nodiscard]] int gif_flush_block();

// Releases the dictionary tables, if held.
void gif_free_tables();

// Writes the trailer and closes the file, then releases all tables. Returns
// GIF_ERR_WRITE when the trailer cannot be written (the file stays open), or
// when any earlier write, the final flush or the close failed (the file is
// closed); GIF_OK when the whole file reached the system.
[[nodiscard]] GifStatus gif_close();

#endif  // PIXTREL_GIF_WRITER_H_
