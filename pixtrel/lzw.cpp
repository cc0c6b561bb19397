#include <algorithm>
#include <cassert>
#include <cstdlib>

#include "gif_writer.h"
#include "screen.h"

namespace {

constexpr uint16_t kNoCode = 0xFFFF;  // no code; an empty hash slot
constexpr int kHashStep = 2039;       // prime, like the slot count: probes visit every slot
constexpr int kMaxCodeWidth = 12;
constexpr uint8_t kImageSeparator = 0x2C;
constexpr uint16_t kFrameDelay = 32;  // hundredths of a second

// The writer's three tables, held in registers while an image is coded.
struct Dictionary {
  uint16_t* hash;
  uint16_t* prefix;
  uint8_t* suffix;
};

Dictionary tables() {
  GifWriter& w = gif_writer;
  return {w.hash_table.get(), w.prefix_table.get(), w.suffix_table.get()};
}

int home_slot(uint16_t prefix, uint8_t pixel) {
  // With up to 16 colours every key but those of the roots is below the slot
  // count; sparing the modulo shortens the chain of dependent lookups.
  const unsigned key = (unsigned{pixel} << 8) ^ prefix;
  return key < kLzwHashSlots ? key : key % kLzwHashSlots;
}

int next_slot(int slot) {
  slot += kHashStep;
  return slot >= kLzwHashSlots ? slot - kLzwHashSlots : slot;
}

// The code of the string (prefix, pixel), or kNoCode. *end_slot receives the
// empty slot that ended an unsuccessful search, where the pair belongs.
uint16_t gif_find_code(const Dictionary& d, uint16_t prefix, uint8_t pixel, int* end_slot) {
  int slot = home_slot(prefix, pixel);
  for (uint16_t code; (code = d.hash[slot]) != kNoCode; slot = next_slot(slot)) {
    if (((d.prefix[code] ^ prefix) | (d.suffix[code] ^ pixel)) == 0) return code;
  }
  *end_slot = slot;
  return kNoCode;
}

// Enters (prefix, pixel) as `*next_code` in the empty `slot` on its probe
// sequence. Returns the code assigned, or kNoCode when all codes are in use.
uint16_t gif_add_code_at(const Dictionary& d, uint16_t* next_code, int slot, uint16_t prefix,
                         uint8_t pixel) {
  if (*next_code >= kLzwMaxCodes) return kNoCode;
  assert(d.hash[slot] == kNoCode);
  const uint16_t code = (*next_code)++;
  d.hash[slot] = code;
  d.suffix[code] = pixel;
  d.prefix[code] = prefix;
  return code;
}

uint16_t gif_add_code(const Dictionary& d, uint16_t* next_code, uint16_t prefix, uint8_t pixel) {
  int slot = home_slot(prefix, pixel);
  while (d.hash[slot] != kNoCode) slot = next_slot(slot);
  return gif_add_code_at(d, next_code, slot, prefix, pixel);
}

// Empties the dictionary and enters the roots, the clear and the end code.
uint16_t gif_reset_dictionary(const Dictionary& d, uint16_t clear_code) {
  for (int i = 0; i < kLzwHashSlots; ++i) d.hash[i] = kNoCode;
  uint16_t next_code = 0;
  for (unsigned i = 0; i <= clear_code + 1u; ++i) (void)gif_add_code(d, &next_code, kNoCode, i & 0xFF);
  return next_code;
}

[[nodiscard]] bool allocate_tables() {
  GifWriter& w = gif_writer;
  gif_free_tables();
  w.prefix_table.reset(static_cast<uint16_t*>(std::malloc(kLzwMaxCodes * sizeof(uint16_t))));
  if (w.prefix_table) w.suffix_table.reset(static_cast<uint8_t*>(std::malloc(kLzwMaxCodes)));
  if (w.suffix_table) w.hash_table.reset(static_cast<uint16_t*>(std::malloc(kLzwHashSlots * sizeof(uint16_t))));
  if (w.hash_table) return true;
  gif_free_tables();
  return false;
}

[[nodiscard]] bool write_control_extension() {
  return gif_put_byte(0x21) && gif_put_byte(0xF9) && gif_put_byte(0x04) && gif_put_byte(0x00) &&
         gif_put_word(kFrameDelay) && gif_put_byte(0) /* transparent index */ && gif_put_byte(0x00);
}

[[nodiscard]] bool write_image_descriptor() {
  const GifWriter& w = gif_writer;
  return gif_put_byte(kImageSeparator) && gif_put_word(w.image_left) && gif_put_word(w.image_top) &&
         gif_put_word(w.image_width) && gif_put_word(w.image_height) && gif_put_byte(0x00);
}

// Codes the pixel stream into gif_writer.packer; the tables are allocated.
// Returns false when a sub-block write failed.
[[nodiscard]] bool code_pixels(int min_code_size) {
  GifWriter& w = gif_writer;
  CodePacker& packer = w.packer;
  const Dictionary d = tables();
  const uint16_t clear_code = static_cast<uint16_t>(1u << min_code_size);
  const uint16_t end_code = clear_code + 1;
  uint16_t next_code = gif_reset_dictionary(d, clear_code);
  int code_width = min_code_size + 1;
  unsigned largest_code = (1u << code_width) - 1;
  if (!packer.put(clear_code, code_width)) return false;

  // gif_compress_image installs frame_pixel over whole rows of the frame,
  // so the stream is a run of pixel_frame, read straight through; it is
  // never empty, and its indices are 0 to 15, never the -1 that would end it.
  assert(w.get_pixel == frame_pixel && w.image_left == 0 && w.image_width == kScreenWidth &&
         w.image_height > 0 && w.image_top + w.image_height <= kScreenHeight);
  const uint8_t* const rows = converter.pixel_frame.data() + w.image_top * kScreenWidth;
  const uint8_t* p = rows + w.cursor_y * kScreenWidth + w.cursor_x;
  const uint8_t* const end = rows + w.image_height * kScreenWidth;
  uint16_t current = *p++;
  bool coded = true;
  for (; coded && p < end; ++p) {
    const uint8_t pixel = *p;
    int slot;
    const uint16_t found = gif_find_code(d, current, pixel, &slot);
    if (found != kNoCode) {
      current = found;
      continue;
    }
    coded = packer.put(current, code_width);
    const uint16_t added = gif_add_code_at(d, &next_code, slot, current, pixel);
    if (added == kNoCode || added > largest_code) {
      if (++code_width > kMaxCodeWidth) {
        // All 4096 codes are in use: start a fresh dictionary.
        coded = coded && packer.put(clear_code, kMaxCodeWidth);
        next_code = gif_reset_dictionary(d, clear_code);
        code_width = min_code_size + 1;
      }
      largest_code = (1u << code_width) - 1;
    }
    current = pixel;
  }
  w.cursor_x = static_cast<uint16_t>((p - rows) % kScreenWidth);
  w.cursor_y = static_cast<uint16_t>((p - rows) / kScreenWidth);
  w.next_code = next_code;
  return coded && packer.put(current, code_width) && packer.put(end_code, code_width) && packer.flush();
}

}  // namespace

bool CodePacker::write_full_block() {
  if (!gif_put_byte(kSubBlockBytes) ||
      std::fwrite(block_.data(), 1, kSubBlockBytes, gif_writer.gif_file.get()) != kSubBlockBytes) {
    return false;
  }
  block_count_ -= kSubBlockBytes;
  std::copy_n(block_.begin() + kSubBlockBytes, block_count_ + 1, block_.begin());
  return true;
}

bool CodePacker::flush() {
  const int length = block_count_ + (block_bits_free_ != 8 ? 1 : 0);
  // A length byte 0 would end the image data: an empty block is not written.
  if (length == 0) return true;
  if (!gif_put_byte(length) ||
      std::fwrite(block_.data(), 1, length, gif_writer.gif_file.get()) != static_cast<size_t>(length)) {
    return false;
  }
  reset();
  return true;
}

int gif_put_code(int16_t code, int16_t width) {
  assert(width >= 1 && width <= kMaxCodeWidth);
  return gif_writer.packer.put(static_cast<uint16_t>(code), width) ? width : -1;
}

int gif_flush_block() { return gif_writer.packer.flush() ? 0 : -1; }

void gif_free_tables() {
  GifWriter& w = gif_writer;
  w.hash_table.reset();
  w.prefix_table.reset();
  w.suffix_table.reset();
}

GifStatus gif_compress_image(uint8_t phase) {
  GifWriter& w = gif_writer;
  render_frame(phase);
  if (converter.animated && !write_control_extension()) return GIF_ERR_WRITE;

  w.image_left = 0;
  w.image_top = 0;
  w.image_width = kScreenWidth;
  w.image_height = kScreenHeight;
  if (!write_image_descriptor()) return GIF_ERR_WRITE;

  int min_code_size = bits_needed(w.colour_count);
  if (min_code_size == 1) min_code_size = 2;
  if (!gif_put_byte(min_code_size)) return GIF_ERR_WRITE;

  w.packer.reset();
  w.cursor_x = 0;
  w.cursor_y = 0;
  w.get_pixel = frame_pixel;
  if (!allocate_tables()) return GIF_ERR_CODER_MEMORY;

  const bool coded = code_pixels(min_code_size);
  gif_free_tables();
  if (!coded || !gif_put_byte(0x00) /* block terminator */) return GIF_ERR_WRITE;
  return GIF_OK;
}
