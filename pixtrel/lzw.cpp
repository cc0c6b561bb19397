#include <algorithm>
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

[[nodiscard]] bool write_control_extension() {
  return gif_put_byte(0x21) && gif_put_byte(0xF9) && gif_put_byte(0x04) && gif_put_byte(0x00) &&
         gif_put_word(kFrameDelay) && gif_put_byte(0) /* transparent index */ && gif_put_byte(0x00);
}

[[nodiscard]] bool write_image_descriptor() {
  const GifWriter& w = gif_writer;
  return gif_put_byte(kImageSeparator) && gif_put_word(w.image_left) && gif_put_word(w.image_top) &&
         gif_put_word(w.image_width) && gif_put_word(w.image_height) && gif_put_byte(0x00);
}

// The code packer. Bits not yet in whole bytes wait in a register and whole
// bytes gather in a buffer with room for those that one code completes, so
// that storing a code takes no branch but the rare one for a full sub-block.
// It starts from the writer's block fields, and sync() brings them up to date.
class BitPacker {
 public:
  BitPacker() : count_(gif_writer.block_count), pending_bits_(8 - gif_writer.block_bits_free) {
    std::copy_n(gif_writer.block.begin(), count_ + 1, buffer_.begin());
    pending_ = buffer_[count_] & ((1u << pending_bits_) - 1);
  }

  // Stores the low `width` bits of `code`; false when a sub-block write failed.
  [[nodiscard]] bool put(unsigned code, int width) {
    pending_ |= (code & ((1u << width) - 1)) << pending_bits_;
    pending_bits_ += width;
    buffer_[count_] = static_cast<uint8_t>(pending_);
    buffer_[count_ + 1] = static_cast<uint8_t>(pending_ >> 8);
    const int whole = pending_bits_ >> 3;
    count_ += whole;
    pending_ >>= whole * 8;
    pending_bits_ &= 7;
    // A full sub-block goes out once a further bit follows its 255 bytes.
    if (count_ > kSubBlockBytes || (count_ == kSubBlockBytes && pending_bits_ > 0)) return write_block();
    return true;
  }

  // Brings the writer's block fields up to date (before gif_flush_block).
  [[nodiscard]] bool sync() {
    if (count_ == kSubBlockBytes && pending_bits_ > 0 && !write_block()) return false;
    buffer_[count_] = static_cast<uint8_t>(pending_);
    std::copy_n(buffer_.begin(), count_ + 1, gif_writer.block.begin());
    gif_writer.block_count = count_;
    gif_writer.block_bits_free = 8 - pending_bits_;
    return true;
  }

 private:
  [[nodiscard]] __attribute__((noinline)) bool write_block() {
    if (!gif_put_byte(kSubBlockBytes) ||
        std::fwrite(buffer_.data(), 1, kSubBlockBytes, gif_writer.gif_file.get()) != kSubBlockBytes) {
      return false;
    }
    count_ -= kSubBlockBytes;
    std::copy_n(buffer_.begin() + kSubBlockBytes, count_ + 1, buffer_.begin());
    return true;
  }

  std::array<uint8_t, kSubBlockBytes + 3> buffer_{};  // room for the bytes that one code completes
  int count_;  // whole bytes in buffer_
  uint32_t pending_;
  int pending_bits_;  // 0 to 7 between calls
};

// Codes the pixel stream; the tables are allocated.
[[nodiscard]] bool code_pixels(int min_code_size) {
  GifWriter& w = gif_writer;
  const Dictionary d = tables();
  const uint16_t clear_code = static_cast<uint16_t>(1u << min_code_size);
  const uint16_t end_code = clear_code + 1;
  uint16_t next_code = gif_reset_dictionary(d, clear_code);
  int code_width = min_code_size + 1;
  unsigned largest_code = (1u << code_width) - 1;
  BitPacker packer;
  if (!packer.put(clear_code, code_width)) return false;

  uint16_t current = kNoCode;
  // One pixel of the stream after the first; false when a sub-block write failed.
  auto code_pixel = [&](uint8_t pixel) -> bool {
    int slot;
    const uint16_t found = gif_find_code(d, current, pixel, &slot);
    if (found != kNoCode) {
      current = found;
      return true;
    }
    if (!packer.put(current, code_width)) return false;
    const uint16_t added = gif_add_code_at(d, &next_code, slot, current, pixel);
    if (added == kNoCode || added > largest_code) {
      if (++code_width > kMaxCodeWidth) {
        // All 4096 codes are in use: start a fresh dictionary.
        if (!packer.put(clear_code, kMaxCodeWidth)) return false;
        next_code = gif_reset_dictionary(d, clear_code);
        code_width = min_code_size + 1;
      }
      largest_code = (1u << code_width) - 1;
    }
    current = pixel;
    return true;
  };

  // gif_compress_image installs frame_pixel over whole rows of the frame,
  // so the stream is a run of pixel_frame, read straight through; its
  // indices are 0 to 15, never the -1 that would end it early.
  assert(w.get_pixel == frame_pixel && w.image_left == 0 && w.image_width == kScreenWidth &&
         w.image_top + w.image_height <= kScreenHeight);
  const uint8_t* const rows = converter.pixel_frame.data() + w.image_top * kScreenWidth;
  const uint8_t* p = rows + w.cursor_y * kScreenWidth + w.cursor_x;
  const uint8_t* const end = rows + w.image_height * kScreenWidth;
  bool coded = true;
  if (p < end) current = *p++;
  while (coded && p < end) coded = code_pixel(*p++);
  w.cursor_x = static_cast<uint16_t>((p - rows) % kScreenWidth);
  w.cursor_y = static_cast<uint16_t>((p - rows) / kScreenWidth);
  const bool failed = !coded;
  w.next_code = next_code;
  if (failed || (current != kNoCode && !packer.put(current, code_width))) return false;
  return packer.put(end_code, code_width) && packer.sync() && gif_flush_block() == 0;
}

}  // namespace

int gif_put_code(int16_t code, int16_t width) {
  assert(width >= 1 && width <= kMaxCodeWidth);
  BitPacker packer;
  return packer.put(static_cast<uint16_t>(code), width) && packer.sync() ? width : -1;
}

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
