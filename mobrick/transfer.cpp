#include "transfer.h"

#include <sys/stat.h>

#include <cassert>
#include <cerrno>
#include <cstring>
#include <optional>

#include "dialogue.h"
#include "dsk_image.h"
#include "format_table.h"

namespace {

constexpr std::int32_t kDdSides = 2;
constexpr std::int32_t kDdSectorsPerTrack = 9;

constexpr char kWriteFailed[] = "error fwrite()\n";
constexpr char kReadFailed[] = "error fread()\n";
constexpr char kDdSeekFailed[] = "error in seek\n";
constexpr char kDdReadFailed[] = "error in read\n";
constexpr char kDdWriteFailed[] = "error in write\n";

// The two streams of a copy, closed on every way out of it: the 'dd' file
// first, then the image, so that the image keeps every byte written before
// a failure of the 'dd' file.
class CopyStreams {
 public:
  CopyStreams(ProgramState& state, bool writes_dd) : state_(state), writes_dd_(writes_dd) {}
  ~CopyStreams() {
    state_.dd.stream.discard();
    state_.image.stream.discard();
  }
  CopyStreams(const CopyStreams&) = delete;
  CopyStreams& operator=(const CopyStreams&) = delete;

  // Closes both, the one the copy writes with its close checked: a 'dd'
  // file that is a block device is synced first, since the kernel reports a
  // sector the device could not take only when it writes it out. False if
  // that failed.
  [[nodiscard]] bool close_written() {
    FileStream& dd = state_.dd.stream;
    FileStream& image = state_.image.stream;
    if (!writes_dd_) {
      dd.discard();
      return image.close();
    }
    const bool synced = dd.sync_device();
    const bool closed = dd.close();
    image.discard();
    return synced && closed;
  }

 private:
  ProgramState& state_;
  const bool writes_dd_;
};

// A failure of the 'dd' file ends the process.
Outcome dd_failure(ProgramState& state, const char* note) {
  print_err(state, "%s", note);
  return Outcome::kFatal;
}

// A failure of the image gives the copy up.
Outcome image_failure(ProgramState& state, const char* note) {
  if (note != nullptr) print_err(state, "%s", note);
  report_terminated(state);
  return Outcome::kMenu;
}

// Opens the 'dd' file with `mode`, unbuffered. A folder is refused as a file
// that cannot be opened, and a file that cannot be positioned as such: a
// FIFO or a socket by its type, before an open that would wait for the
// other end, anything else (a terminal) once open. All before anything is
// asked or either file changed. Returns an outcome only when the copy ends
// there.
std::optional<Outcome> open_dd(ProgramState& state, const char* mode) {
  const char* name = state.dd.name.data();
  struct stat named;
  const bool exists = stat(name, &named) == 0;
  if (exists && (S_ISFIFO(named.st_mode) || S_ISSOCK(named.st_mode))) return dd_failure(state, kDdSeekFailed);
  FileStream& dd = state.dd.stream;
  const bool folder = exists && S_ISDIR(named.st_mode);
  if (folder || !dd.open(name, mode)) {
    if (!folder && errno == ENOMEM) return report_no_memory(state);
    print_err(state, "error: can't open %s\n", name);
    return Outcome::kFatal;
  }
  dd.set_unbuffered();
  if (std::fseek(dd.get(), 0, SEEK_SET) != 0) return dd_failure(state, kDdSeekFailed);
  return std::nullopt;
}

[[nodiscard]] bool seek_dd(ProgramState& state, std::uint8_t track, std::uint8_t side, std::uint8_t id) {
  return std::fseek(state.dd.stream.get(), dd_sector_offset(track, side, id), SEEK_SET) == 0;
}

// True when `name` is the file open as `stream`: the same device and inode,
// whether reached through the same name, a link or a symbolic link.
[[nodiscard]] bool is_open_file(const char* name, FILE* stream) {
  struct stat named;
  struct stat opened;
  return stat(name, &named) == 0 && fstat(fileno(stream), &opened) == 0 && named.st_dev == opened.st_dev &&
         named.st_ino == opened.st_ino;
}

// Gives a copy up before either file is changed: the two names are one file.
Outcome same_file(ProgramState& state) {
  print_err(state, "error: %s and %s are the same file\n", state.dd.name.data(), state.image.name.data());
  return image_failure(state, nullptr);
}

// Claims the 'dd' slots of the sectors of the Track-Info block just read.
// False when the track does not fit the 'dd' layout: its sectors are larger
// than a slot, or one of them would land in a slot written before in this
// copy (another sector's, or an earlier track's). The sector of ID 0 on
// track 0 side 0 has no slot; its seek fails when it is copied.
[[nodiscard]] bool claim_track_slots(ProgramState& state) {
  const TrackFormat& format = state.track_format;
  if (format.sector_count > 0 && sector_bytes(format.size_code) > kDdSlotBytes) return false;
  for (std::uint8_t i = 0; i < format.sector_count; ++i) {
    const std::int32_t offset = dd_sector_offset(format.track, format.side, format.sectors[i].sector_id);
    if (offset < 0) continue;
    const std::size_t slot = static_cast<std::size_t>(offset) / kDdSlotBytes;
    assert(slot < state.dd_slots_written.size());
    if (state.dd_slots_written[slot]) return false;
    state.dd_slots_written[slot] = true;
  }
  return true;
}

// Copies the sectors of the current track from their 'dd' slots into the
// image; returns an outcome only when the copy ends there.
std::optional<Outcome> copy_track_from_dd(ProgramState& state) {
  TrackFormat& format = state.track_format;
  const std::size_t size = sector_bytes(format.size_code);
  for (std::uint8_t i = 0; i < format.sector_count; ++i) {
    format.current_sector = i;
    const std::uint8_t id = static_cast<std::uint8_t>(format.first_sector_id + i);
    format.sectors[i].sector_id = id;
    if (!seek_dd(state, format.track, format.side, id)) return dd_failure(state, kDdSeekFailed);
    if (std::fread(state.sector_buffer.data(), kDdSlotBytes, 1, state.dd.stream.get()) != 1) {
      return dd_failure(state, kDdReadFailed);
    }
    if (!write_image(state, state.sector_buffer.data(), size)) return image_failure(state, kWriteFailed);
  }
  return std::nullopt;
}

// Writes the image's blocks from the open 'dd' file; returns an outcome only
// when the copy ends before the last block.
std::optional<Outcome> copy_tracks_from_dd(ProgramState& state) {
  if (!write_disk_info(state)) return image_failure(state, kWriteFailed);
  for (TrackWalk walk; next_track(state, walk, "Loading");) {
    if (!write_track_info(state)) return image_failure(state, kWriteFailed);
    if (const auto ended = copy_track_from_dd(state)) return ended;
  }
  return std::nullopt;
}

// Copies the sectors of the Track-Info block just read from the image into
// their 'dd' slots; returns an outcome only when the copy ends there.
std::optional<Outcome> copy_track_to_dd(ProgramState& state) {
  TrackFormat& format = state.track_format;
  const std::size_t size = sector_bytes(format.size_code);
  for (std::uint8_t i = 0; i < format.sector_count; ++i) {
    format.current_sector = i;
    if (std::fread(state.sector_buffer.data(), 1, size, state.image.stream.get()) != size) {
      return image_failure(state, kReadFailed);
    }
    // A sector shorter than a slot fills its front; the rest of the slot is zero.
    if (size < kDdSlotBytes) std::memset(&state.sector_buffer[size], 0, kDdSlotBytes - size);
    if (!seek_dd(state, format.track, format.side, format.sectors[i].sector_id)) {
      return dd_failure(state, kDdSeekFailed);
    }
    if (std::fwrite(state.sector_buffer.data(), kDdSlotBytes, 1, state.dd.stream.get()) != 1) {
      return dd_failure(state, kDdWriteFailed);
    }
  }
  return std::nullopt;
}

// Writes the sectors of every track block of the image, its Disk-Info block
// read, into the open 'dd' file; returns an outcome only when the copy ends
// before the last block.
std::optional<Outcome> copy_tracks_to_dd(ProgramState& state) {
  const TrackFormat& format = state.track_format;
  state.dd_slots_written.reset();
  for (TrackWalk walk; next_track(state, walk, "Saving");) {
    switch (read_track_info(state)) {
      case BlockRead::kShortRead: return image_failure(state, kReadFailed);
      case BlockRead::kRejected: return image_failure(state, nullptr);
      case BlockRead::kTaken: break;
    }
    if (format.track != walk.track || format.side != walk.side) return image_failure(state, nullptr);
    if (!claim_track_slots(state)) {
      print_err(state, "error: track %d head %d doesn't fit a 'dd' file\n", walk.track, walk.side);
      return image_failure(state, nullptr);
    }
    if (const auto ended = copy_track_to_dd(state)) return ended;
  }
  return std::nullopt;
}

}  // namespace

std::int32_t dd_sector_offset(std::uint8_t track, std::uint8_t side, std::uint8_t sector_id) {
  return ((track * kDdSides + side) * kDdSectorsPerTrack + sector_id - 1) * static_cast<std::int32_t>(kDdSlotBytes);
}

Outcome copy_dd_to_image(ProgramState& state) {
  const char* dd_name = state.dd.name.data();
  const char* image_name = state.image.name.data();
  print_out(state, "Copy 'dd' file -> Image\n");
  print_out(state, "reading from 'dd' file %s.\n", dd_name);
  print_out(state, "writing to image file %s\n", image_name);
  CopyStreams streams(state, false);
  if (const auto refused = open_dd(state, "r")) return *refused;
  if (is_open_file(image_name, state.dd.stream.get())) return same_file(state);
  bool go_on = false;
  const Outcome asked = ask_overwrite(state, go_on);
  if (!go_on) return asked;
  if (!state.image.stream.open(image_name, "w")) return report_open_failure(state, ConsoleStream::kOut);
  if (select_format(state, FormatMenu::kCopy) != Outcome::kMenu) return Outcome::kInputEnded;
  if (const auto ended = copy_tracks_from_dd(state)) return *ended;
  if (!streams.close_written()) return image_failure(state, kWriteFailed);
  print_out(state, "transfer ok.\n");
  return Outcome::kMenu;
}

Outcome copy_image_to_dd(ProgramState& state) {
  const char* dd_name = state.dd.name.data();
  const char* image_name = state.image.name.data();
  print_out(state, "Copy Image -> 'dd' file\n");
  print_out(state, "reading from image file %s\n", image_name);
  CopyStreams streams(state, true);
  if (!state.image.stream.open(image_name, "r")) return report_open_failure(state, ConsoleStream::kErr);
  switch (read_disk_info(state)) {
    case BlockRead::kShortRead: return image_failure(state, kReadFailed);
    case BlockRead::kRejected: return image_failure(state, nullptr);
    case BlockRead::kTaken: break;
  }
  if (is_open_file(dd_name, state.image.stream.get())) return same_file(state);
  if (const auto refused = open_dd(state, "w")) return *refused;
  print_out(state, "writing to 'dd' file %s ...\n", dd_name);
  const std::optional<Outcome> ended = copy_tracks_to_dd(state);
  if (ended == Outcome::kFatal) return Outcome::kFatal;
  // The 'dd' file holds what was written, also when the copy was given up.
  if (!streams.close_written()) return dd_failure(state, kDdWriteFailed);
  if (ended) return *ended;
  print_out(state, "transfer ok.\n");
  return Outcome::kMenu;
}
