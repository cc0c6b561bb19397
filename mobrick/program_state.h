// program_state: the one record that every operation of mobrick works on,
// and the outcome an operation reports to the menu.
#ifndef MOBRICK_PROGRAM_STATE_H_
#define MOBRICK_PROGRAM_STATE_H_

#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "file_stream.h"

constexpr std::size_t kNameBytes = 4096;          // a name: 4095 chars + terminator
constexpr std::size_t kLineBytes = kNameBytes;    // one answer, which may be a name
constexpr std::size_t kSectorBufferBytes = 4096;  // largest sector, size code 5
constexpr std::size_t kDiskSpecBytes = 16;
constexpr std::size_t kInfoBlockBytes = 256;      // Disk-Info and Track-Info blocks
constexpr std::size_t kMaxSectorsPerTrack = 18;
constexpr std::uint8_t kMaxSizeCode = 5;

using DiskSpec = std::array<std::uint8_t, kDiskSpecBytes>;
constexpr std::size_t kReservedTracksByte = 5;  // of a DiskSpec: the tracks before the directory

// One entry of a Track-Info sector list, in its on-disk layout.
struct SectorInfo {
  std::uint8_t track;
  std::uint8_t side;
  std::uint8_t sector_id;  // R
  std::uint8_t size_code;  // N
  std::uint8_t st1;
  std::uint8_t st2;
  std::uint8_t unused[2];
};
static_assert(sizeof(SectorInfo) == 8, "a sector list entry is 8 bytes");

struct DdFile {
  FileStream stream;
  std::array<char, kNameBytes> name;
};

struct ImageFile {
  std::array<char, kNameBytes> name;
  FileStream stream;
  std::array<std::uint8_t, kInfoBlockBytes> disk_info;
  std::array<std::uint8_t, kInfoBlockBytes> track_info;
};

struct DiskGeometry {
  std::uint8_t tracks;
  std::uint8_t sides;
  std::uint16_t track_size;  // Track-Info block plus the track's sector data
};

struct TrackFormat {
  std::uint8_t track;
  std::uint8_t side;
  std::uint8_t size_code;  // a sector holds 128 << size_code bytes
  std::uint8_t sector_count;
  std::uint8_t gap3;
  std::uint8_t filler;
  std::array<SectorInfo, kMaxSectorsPerTrack> sectors;
  std::uint8_t current_sector;
  std::uint8_t first_sector_id;  // sector index i has ID first_sector_id + i
};

// Where the dialogue is read from and its messages go: stdin, stdout and
// stderr in the program, other streams in tests and fuzzers. Not owned.
struct Console {
  FILE* in;
  FILE* out;
  FILE* err;
};

// Slots of a 'dd' file that a copy can address: the highest, track 254 side
// 254 sector ID 255, is slot 7112.
constexpr std::size_t kDdSlots = 8192;

struct ProgramState {
  Console console;
  std::array<char, kLineBytes> line;
  bool line_too_long;  // the last answer did not fit `line`; what fitted is there
  bool operation_failed;  // some operation of this run was given up
  std::array<std::uint8_t, kSectorBufferBytes> sector_buffer;
  DiskSpec disk_spec;
  DdFile dd;
  ImageFile image;
  DiskGeometry geometry;
  TrackFormat track_format;
  std::bitset<kDdSlots> dd_slots_written;  // by the copy into the 'dd' file running
};

// How an operation ended: back to the menu, or the process is to end with
// exit status 1 (a failure on the 'dd' file, or input ended at a prompt).
enum class Outcome { kMenu, kFatal, kInputEnded };

// Sets up `state` as at start-up: default names "image.p3d" ('dd' file) and
// "default.dsk" (image), no open streams, everything else zero or false.
void init_program_state(ProgramState& state, const Console& console);

#endif  // MOBRICK_PROGRAM_STATE_H_
