// transfer: whole-disk copies between a 'dd' file (a raw dump of 512-byte
// slots, or the floppy device) and a DSK image.
#ifndef MOBRICK_TRANSFER_H_
#define MOBRICK_TRANSFER_H_

#include <cstdint>

#include "program_state.h"

constexpr std::uint32_t kDdSlotBytes = 512;

// Byte offset of the slot of sector ID `sector_id` of `track`, `side` in a
// 'dd' file laid out as two sides of nine sectors numbered from 1. Negative
// for track 0, side 0, ID 0.
std::int32_t dd_sector_offset(std::uint8_t track, std::uint8_t side, std::uint8_t sector_id);

// Menu choice 3: reads the 'dd' file and writes a new image in the format
// picked in the copy's dialogue. Returns kMenu when done or when the image
// failed or names the 'dd' file itself (the messages printed); kFatal after
// "error: ..." on the error stream when the 'dd' file cannot be opened,
// positioned or read (the image keeps what was written), or after "malloc: no
// memory" when a file could not be opened for want of memory; kInputEnded if
// the input ended at a prompt. A folder counts as a file that cannot be
// opened, a FIFO, a socket or a pipe as one that cannot be positioned; all are
// refused before anything is asked or written, a FIFO before it is opened.
// Both streams are closed on every return.
[[nodiscard]] Outcome copy_dd_to_image(ProgramState& state);

// Menu choice 4: writes every sector of the image into the slot of its ID in
// the 'dd' file. The image's Disk-Info block is read and tested before the
// 'dd' file is opened, so a file that is no image, or that the 'dd' name
// names too, leaves the 'dd' file as it was. The copy is given up at a track
// that does not fit the 'dd' layout (sectors larger than a slot, or a slot
// written before in this copy), before any of its sectors is written.
// Returns kMenu when done or when the image failed or did not fit; kFatal
// when the 'dd' file cannot be opened (a folder counts as such), positioned
// (a FIFO, a socket or a pipe is refused before anything is written, a FIFO
// before it is opened) or written, when a 'dd' file that is a block device
// fails the sync that ends every copy into it, or when a file could not be
// opened for want of memory. Both streams are closed on every return.
[[nodiscard]] Outcome copy_image_to_dd(ProgramState& state);

#endif  // MOBRICK_TRANSFER_H_
