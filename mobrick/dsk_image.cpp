#include "dsk_image.h"

#include <cstring>

#include "dialogue.h"

namespace {

constexpr char kDiskInfoMagic[] = "MV - CPCEMU Disk-File\r\nDisk-Info\r\n";
constexpr std::size_t kDiskInfoMagicChecked = 8;  // "MV - CPC"
constexpr char kTrackInfoMagic[] = "Track-Info\r\n";
constexpr std::size_t kTrackInfoMagicChecked = 5;  // "Track"

// Disk-Info offsets.
constexpr std::size_t kDiskTracks = 0x30;
constexpr std::size_t kDiskSides = 0x31;
constexpr std::size_t kDiskTrackSize = 0x32;  // 16 bits, low byte first

// Track-Info offsets.
constexpr std::size_t kTrackNumber = 0x10;
constexpr std::size_t kTrackSide = 0x11;
constexpr std::size_t kTrackSizeCode = 0x14;
constexpr std::size_t kTrackSectorCount = 0x15;
constexpr std::size_t kTrackGap3 = 0x16;
constexpr std::size_t kTrackFiller = 0x17;
constexpr std::size_t kTrackSectorList = 0x18;  // 8 bytes per sector

[[nodiscard]] bool read_block(ProgramState& state, std::array<std::uint8_t, kInfoBlockBytes>& block) {
  return std::fread(block.data(), 1, block.size(), state.image.stream.get()) == block.size();
}

}  // namespace

void build_disk_info(ProgramState& state) {
  auto& block = state.image.disk_info;
  block.fill(0);
  std::memcpy(block.data(), kDiskInfoMagic, sizeof kDiskInfoMagic);
  block[kDiskTracks] = state.geometry.tracks;
  block[kDiskSides] = state.geometry.sides;
  block[kDiskTrackSize] = static_cast<std::uint8_t>(state.geometry.track_size & 0xFF);
  block[kDiskTrackSize + 1] = static_cast<std::uint8_t>(state.geometry.track_size >> 8);
}

void build_track_info(ProgramState& state) {
  const TrackFormat& format = state.track_format;
  auto& block = state.image.track_info;
  block.fill(0);
  std::memcpy(block.data(), kTrackInfoMagic, sizeof kTrackInfoMagic);
  block[kTrackNumber] = format.track;
  block[kTrackSide] = format.side;
  block[kTrackSizeCode] = format.size_code;
  block[kTrackSectorCount] = format.sector_count;
  block[kTrackGap3] = format.gap3;
  block[kTrackFiller] = format.filler;
  for (std::uint8_t i = 0; i < format.sector_count; ++i) {
    std::uint8_t* entry = &block[kTrackSectorList + sizeof(SectorInfo) * i];
    entry[0] = format.track;
    entry[1] = format.side;
    entry[2] = static_cast<std::uint8_t>(format.first_sector_id + i);
    entry[3] = format.size_code;
  }
}

bool write_image(ProgramState& state, const void* data, std::size_t size) {
  return std::fwrite(data, 1, size, state.image.stream.get()) == size;
}

bool write_disk_info(ProgramState& state) {
  build_disk_info(state);
  return write_image(state, state.image.disk_info.data(), kInfoBlockBytes);
}

bool write_track_info(ProgramState& state) {
  build_track_info(state);
  return write_image(state, state.image.track_info.data(), kInfoBlockBytes);
}

bool next_track(ProgramState& state, TrackWalk& walk, const char* action) {
  const int sides = state.geometry.sides;
  if (walk.walked >= state.geometry.tracks * sides) return false;
  walk.track = static_cast<std::uint8_t>(walk.walked / sides);
  walk.side = static_cast<std::uint8_t>(walk.walked % sides);
  ++walk.walked;
  state.track_format.track = walk.track;
  state.track_format.side = walk.side;
  print_out(state, "\r%s track %d  head %d ...  ", action, walk.track, walk.side);
  show(state);
  return true;
}

BlockRead read_disk_info(ProgramState& state) {
  auto& block = state.image.disk_info;
  if (!read_block(state, block)) return BlockRead::kShortRead;
  if (std::memcmp(block.data(), kDiskInfoMagic, kDiskInfoMagicChecked) != 0) return BlockRead::kRejected;
  state.geometry.tracks = block[kDiskTracks];
  state.geometry.sides = block[kDiskSides];
  return BlockRead::kTaken;
}

BlockRead read_track_info(ProgramState& state) {
  auto& block = state.image.track_info;
  if (!read_block(state, block)) return BlockRead::kShortRead;
  if (std::memcmp(block.data(), kTrackInfoMagic, kTrackInfoMagicChecked) != 0) return BlockRead::kRejected;
  if (block[kTrackSectorCount] > kMaxSectorsPerTrack || block[kTrackSizeCode] > kMaxSizeCode) {
    return BlockRead::kRejected;
  }
  TrackFormat& format = state.track_format;
  format.track = block[kTrackNumber];
  format.side = block[kTrackSide];
  format.size_code = block[kTrackSizeCode];
  format.sector_count = block[kTrackSectorCount];
  format.gap3 = block[kTrackGap3];
  format.filler = block[kTrackFiller];
  std::memcpy(format.sectors.data(), &block[kTrackSectorList], sizeof(SectorInfo) * format.sector_count);
  return BlockRead::kTaken;
}
