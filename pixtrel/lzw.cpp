#include <cassert>
#include <new>

#include "gif_writer.h"
#include "screen.h"

namespace {

constexpr uint16_t kNoCode = 0xFFFF;  // no code; an empty hash slot
constexpr int kHashStep = 2039;       // prime, like the slot count: probes visit every slot
constexpr int kMaxCodeWidth = 12;
constexpr int kSubBlockBytes = 255;
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
  w.prefix_table.reset(new (std::nothrow) uint16_t[kLzwMaxCodes]);
  if (w.prefix_table) w.suffix_table.reset(new (std::nothrow) uint8_t[kLzwMaxCodes]);
  if (w.suffix_table) w.hash_table.reset(new (std::nothrow) uint16_t[kLzwHashSlots]);
  if (w.hash_table) return true;
  gif_free_tables();
  return false;
}

// Writes the 255 complete bytes of `block` as a sub-block and empties it.
[[nodiscard]] __attribute__((noinline)) bool write_full_block() {
  GifWriter& w = gif_writer;
  if (!gif_put_byte(kSubBlockBytes) ||
      std::fwrite(w.block.data(), 1, kSubBlockBytes, w.gif_file.get()) != kSubBlockBytes) {
    return false;
  }
  w.block[0] = 0;
  w.block_count = 0;
  w.block_bits_free = 8;
  return true;
}

inline int put_code(unsigned bits, int width) {
  GifWriter& w = gif_writer;
  assert(width >= 1 && width <= kMaxCodeWidth);
  for (int left = width;;) {
    if (w.block_count >= kSubBlockBytes - 1 && (w.block_count >= kSubBlockBytes || w.block_bits_free == 0)) {
      if (!write_full_block()) return -1;
    }
    const int free = w.block_bits_free;
    const unsigned stored = bits << (8 - free);
    if (left <= free) {
      w.block[w.block_count] |= static_cast<uint8_t>(stored & ((1u << (left + 8 - free)) - 1));
      w.block_bits_free = free - left;
      return width;
    }
    w.block[w.block_count] |= static_cast<uint8_t>(stored);
    w.block[++w.block_count] = 0;
    bits >>= free;
    left -= free;
    w.block_bits_free = 8;
  }
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

// Codes the pixel stream; the tables are allocated.
[[nodiscard]] bool code_pixels(int min_code_size) {
  GifWriter& w = gif_writer;
  const Dictionary d = tables();
  const uint16_t clear_code = static_cast<uint16_t>(1u << min_code_size);
  const uint16_t end_code = clear_code + 1;
  uint16_t next_code = gif_reset_dictionary(d, clear_code);
  int code_width = min_code_size + 1;
  unsigned largest_code = (1u << code_width) - 1;
  if (put_code(clear_code, code_width) < 0) return false;

  // The cursor and the source live in registers and are stored back at the end.
  const PixelSource source = w.get_pixel;
  const uint16_t left = w.image_left, top = w.image_top;
  const uint16_t width = w.image_width, height = w.image_height;
  uint16_t x = w.cursor_x, y = w.cursor_y;
  uint16_t current = kNoCode;
  bool failed = false;
  while (y < height) {
    // frame_pixel is called directly so that its load inlines here.
    const int16_t value = source == frame_pixel ? frame_pixel(left + x, top + y) : source(left + x, top + y);
    if (++x == width) {
      x = 0;
      ++y;
    }
    if (static_cast<uint16_t>(value) == 0xFFFF) break;
    const uint8_t pixel = value & 0xFF;
    if (current == kNoCode) {
      current = pixel;
      continue;
    }
    int slot;
    const uint16_t found = gif_find_code(d, current, pixel, &slot);
    if (found != kNoCode) {
      current = found;
      continue;
    }
    if (put_code(current, code_width) < 0) {
      failed = true;
      break;
    }
    const uint16_t added = gif_add_code_at(d, &next_code, slot, current, pixel);
    if (added == kNoCode || added > largest_code) {
      if (++code_width > kMaxCodeWidth) {
        // All 4096 codes are in use: start a fresh dictionary.
        if (put_code(clear_code, kMaxCodeWidth) < 0) {
          failed = true;
          break;
        }
        next_code = gif_reset_dictionary(d, clear_code);
        code_width = min_code_size + 1;
      }
      largest_code = (1u << code_width) - 1;
    }
    current = pixel;
  }
  w.cursor_x = x;
  w.cursor_y = y;
  w.next_code = next_code;
  if (failed || (current != kNoCode && put_code(current, code_width) < 0)) return false;
  return put_code(end_code, code_width) >= 0 && gif_flush_block() == 0;
}

}  // namespace

int gif_put_code(int16_t code, int16_t width) { return put_code(static_cast<uint16_t>(code), width); }

int gif_flush_block() {
  GifWriter& w = gif_writer;
  const int length = w.block_count + (w.block_bits_free != 8 ? 1 : 0);
  if (length == 0) return 0;
  if (!gif_put_byte(length) ||
      std::fwrite(w.block.data(), 1, length, w.gif_file.get()) != static_cast<size_t>(length)) {
    return -1;
  }
  w.block[0] = 0;
  w.block_count = 0;
  w.block_bits_free = 8;
  return 0;
}

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

  w.block[0] = 0;
  w.block_count = 0;
  w.block_bits_free = 8;
  w.cursor_x = 0;
  w.cursor_y = 0;
  w.get_pixel = frame_pixel;
  if (!allocate_tables()) return GIF_ERR_CODER_MEMORY;

  const bool coded = code_pixels(min_code_size);
  gif_free_tables();
  if (!coded || !gif_put_byte(0x00) /* block terminator */) return GIF_ERR_WRITE;
  return GIF_OK;
}
