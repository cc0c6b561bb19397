#include "format.h"

#include <cstring>

#include "dialogue.h"
#include "dsk_image.h"
#include "format_table.h"

namespace {

Outcome write_failure(ProgramState& state) {
  print_err(state, "error fwrite()\n");
  report_terminated(state);
  state.image.stream.discard();
  return Outcome::kMenu;
}

// Writes the sectors of the current track, filled with the filler. The
// disk's very first sector begins with the disk record where it lies on a
// reserved track; without one it is the directory's first sector, and stays
// all filler (unused entries).
[[nodiscard]] bool write_formatted_sectors(ProgramState& state) {
  const TrackFormat& format = state.track_format;
  const std::size_t size = sector_bytes(format.size_code);
  for (std::uint8_t i = 0; i < format.sector_count; ++i) {
    std::memset(state.sector_buffer.data(), format.filler, size);
    if (state.disk_spec[kReservedTracksByte] != 0 && format.track == 0 && format.side == 0 && i == 0) {
      std::memcpy(state.sector_buffer.data(), state.disk_spec.data(), state.disk_spec.size());
    }
    if (!write_image(state, state.sector_buffer.data(), size)) return false;
  }
  return true;
}

}  // namespace

Outcome format_image(ProgramState& state) {
  const char* image_name = state.image.name.data();
  print_out(state, "formatting image file %s\n", image_name);
  bool go_on = false;
  const Outcome asked = ask_overwrite(state, go_on);
  if (!go_on) return asked;
  if (!state.image.stream.open(image_name, "w")) return report_open_failure(state, ConsoleStream::kOut);
  if (select_format(state, FormatMenu::kFormatting) != Outcome::kMenu) {
    state.image.stream.discard();
    return Outcome::kInputEnded;
  }

  if (!write_disk_info(state)) return write_failure(state);
  for (TrackWalk walk; next_track(state, walk, "Formatting");) {
    if (!write_track_info(state)) return write_failure(state);
    if (!write_formatted_sectors(state)) return write_failure(state);
  }
  if (!state.image.stream.close()) return write_failure(state);
  print_out(state, "formatting ok.\n");
  return Outcome::kMenu;
}
