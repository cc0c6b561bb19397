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
#include <cstdlib>
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
constexpr int kSubBlockBytes = 255;

// Memory from malloc or calloc, released with free: a failed allocation is a
// null pointer, never an exception.
struct FreeMemory {
  void operator()(void* memory) const { std::free(memory); }
};
template <typename T>
using MallocArray = std::unique_ptr<T[], FreeMemory>;

// Packs codes into the image data, least significant bit first, and writes
// them to gif_file in sub-blocks of 255 bytes and a last, shorter one.
class CodePacker {
 public:
  // Empties the sub-block being filled.
  void reset() {
    block_[0] = 0;
    block_count_ = 0;
    block_bits_free_ = 8;
  }

  // Appends the low `width` (1 to 12) bits of `code`, writing the full
  // sub-block first when its 255 bytes are complete and a further bit
  // follows. Returns false when that write failed.
  [[nodiscard]] bool put(unsigned code, int width) {
    const int used = 8 - block_bits_free_;
    const uint32_t bits = block_[block_count_] | (code & ((1u << width) - 1)) << used;
    // Whole bytes go to the block, and the one begun with its free high bits clear.
    block_[block_count_] = static_cast<uint8_t>(bits);
    block_[block_count_ + 1] = static_cast<uint8_t>(bits >> 8);
    block_[block_count_ + 2] = static_cast<uint8_t>(bits >> 16);
    block_count_ += (used + width) >> 3;
    block_bits_free_ = 8 - ((used + width) & 7);
    if (block_count_ < kSubBlockBytes || (block_count_ == kSubBlockBytes && block_bits_free_ == 8)) {
      return true;
    }
    return write_full_block();
  }

  // Writes the sub-block begun, if any bits are in it, and empties it.
  // Returns false when a write failed.
  [[nodiscard]] bool flush();

 private:
  [[nodiscard]] bool write_full_block();

  // block_count_ whole bytes, then the byte begun with block_bits_free_ bits
  // still free; past the 255 data bytes, room for the bytes one code completes.
  std::array<uint8_t, kSubBlockBytes + 3> block_{};
  int32_t block_count_ = 0;
  int32_t block_bits_free_ = 8;
};

// The writer's program-wide record; one instance, `gif_writer`.
struct GifWriter {
  FileHolder gif_file;  // open from gif_create until gif_close
  uint16_t colour_count = 0;
  int16_t bits_per_primary = 0;
  uint16_t screen_width = 0;
  uint16_t screen_height = 0;
  MallocArray<uint8_t> colour_table;  // colour_count x (red, green, blue)

  // The LZW coder's dictionary, held only while an image is coded.
  MallocArray<uint8_t> suffix_table;   // kLzwMaxCodes: last index of each code's string
  MallocArray<uint16_t> prefix_table;  // kLzwMaxCodes: code of the string without it
  MallocArray<uint16_t> hash_table;    // kLzwHashSlots: a code, or 0xFFFF when empty
  uint16_t next_code = 0;

  CodePacker packer;  // emptied at the start of each image

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

// gif_writer.packer.put: returns `width`, or -1 when a sub-block write failed.
[[nodiscard]] int gif_put_code(int16_t code, int16_t width);

// gif_writer.packer.flush: returns 0, or -1 when a write failed.
[[nodiscard]] int gif_flush_block();

// Releases the dictionary tables, if held.
void gif_free_tables();

// Writes the trailer and closes the file, then releases all tables. Returns
// GIF_ERR_WRITE when the trailer cannot be written (the file stays open), or
// when any earlier write, the final flush or the close failed (the file is
// closed); GIF_OK when the whole file reached the system.
[[nodiscard]] GifStatus gif_close();

#endif  // PIXTREL_GIF_WRITER_H_
