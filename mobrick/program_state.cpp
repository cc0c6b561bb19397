#include "program_state.h"

#include <cstring>

namespace {
constexpr char kDefaultDdName[] = "image.p3d";
constexpr char kDefaultImageName[] = "default.dsk";
}  // namespace

void init_program_state(ProgramState& state, const Console& console) {
  state.console = console;
  state.line.fill(0);
  state.line_too_long = false;
  state.operation_failed = false;
  state.sector_buffer.fill(0);
  state.disk_spec.fill(0);
  state.dd.stream.discard();
  state.dd.name.fill(0);
  std::memcpy(state.dd.name.data(), kDefaultDdName, sizeof kDefaultDdName);
  state.image.stream.discard();
  state.image.name.fill(0);
  std::memcpy(state.image.name.data(), kDefaultImageName, sizeof kDefaultImageName);
  state.image.disk_info.fill(0);
  state.image.track_info.fill(0);
  state.geometry = DiskGeometry{};
  state.track_format = TrackFormat{};
  state.dd_slots_written.reset();
}
