// dsk_image: the Disk-Info and Track-Info blocks of a DSK disk image, built
// from and read into the program state.
//
// An image is one 256-byte Disk-Info block, then one track block per track
// and side (track 0 side 0, track 0 side 1, track 1 side 0, ...); a track
// block is a 256-byte Track-Info block and the track's sectors in list order.
#ifndef MOBRICK_DSK_IMAGE_H_
#define MOBRICK_DSK_IMAGE_H_

#include <cstddef>

#include "program_state.h"

// Bytes of a sector with size code N: 128 << N.
inline std::size_t sector_bytes(std::uint8_t size_code) { return std::size_t{128} << size_code; }

enum class BlockRead { kTaken, kShortRead, kRejected };

// Fills `image.disk_info` from `geometry`. Writes nothing to the file.
void build_disk_info(ProgramState& state);

// Fills `image.track_info` from `track_format` (track, side, size code,
// sector count, gap, filler and one list entry per sector with the IDs
// first_sector_id, first_sector_id + 1, ...). Writes nothing to the file and
// leaves `track_format.sectors` alone.
void build_track_info(ProgramState& state);

// Writes `size` bytes at `data` to the open image stream. Returns false on a
// short write.
[[nodiscard]] bool write_image(ProgramState& state, const void* data, std::size_t size);

// build_disk_info, then writes the block to the open image stream. Returns
// false on a short write.
[[nodiscard]] bool write_disk_info(ProgramState& state);

// build_track_info, then writes the block to the open image stream. Returns
// false on a short write.
[[nodiscard]] bool write_track_info(ProgramState& state);

// Where a walk through the track blocks of an image stands: the number of
// blocks walked, and the track and side of the last of them.
struct TrackWalk {
  int walked = 0;
  std::uint8_t track = 0;
  std::uint8_t side = 0;
};

// Moves `walk` on to the next track block of an image of `geometry.tracks`
// and `geometry.sides`, in image order, sets `track_format.track` and `side`
// to it, and prints "\r<action> track <t>  head <h> ...  " and shows it.
// Returns false, printing nothing, when the walk has passed the last block.
[[nodiscard]] bool next_track(ProgramState& state, TrackWalk& walk, const char* action);

// Reads the next 256 bytes of the image stream into `image.disk_info`.
// Returns kShortRead if fewer came, kRejected (no image) if they do not begin
// "MV - CPC", else kTaken with `geometry.tracks` and `sides` set.
[[nodiscard]] BlockRead read_disk_info(ProgramState& state);

// Reads the next 256 bytes of the image stream into `image.track_info`.
// Returns kShortRead if fewer came; kRejected (no track) if they do not begin
// "Track", or give more than 18 sectors or a size code above 5; else kTaken
// with track, side, size code, sector count, gap and filler of `track_format`
// set and its `sectors` filled from the block's sector list.
[[nodiscard]] BlockRead read_track_info(ProgramState& state);

#endif  // MOBRICK_DSK_IMAGE_H_
