#include "format_table.h"

#include "dialogue.h"
#include "dsk_image.h"

namespace {

constexpr std::uint8_t kSizeCode = 2;  // 512-byte sectors
constexpr std::uint8_t kSectorsPerTrack = 9;
constexpr std::uint8_t kGap3 = 0x4E;
constexpr std::uint8_t kFiller = 0xE5;

// The 16-byte +3 DOS disk records (DiskSpec), indexed by format type. Bytes: type,
// sidedness, tracks per side, sectors per track, sector size shift, reserved
// tracks, block size shift, directory blocks, read/write gap, format gap,
// five reserved bytes, checksum fiddle byte.
constexpr DiskSpec kDiskSpecs[] = {
    {0x00, 0x00, 0x28, 0x09, 0x02, 0x01, 0x03, 0x02, 0x2A, 0x52},  // +3 DOS
    {0x01, 0x00, 0x28, 0x09, 0x02, 0x02, 0x03, 0x02, 0x2A, 0x52},  // SYSTEM
    {0x02, 0x00, 0x28, 0x09, 0x02, 0x00, 0x03, 0x02, 0x2A, 0x52},  // DATA
    {0x03, 0x01, 0x50, 0x09, 0x02, 0x01, 0x04, 0x04, 0x2A, 0x52},  // VORTEX, PCW
};

struct FormatRow {
  char key;  // upper case
  const char* message;
  std::uint8_t tracks;
  std::uint8_t sides;
  std::uint8_t first_sector_id;
  std::uint8_t spec_type;
  bool two_sided_menu;
};

// A +3 DOS track holds IDs 1 to 9, as on a real +3 disk, so that its sectors
// have slots in a 'dd' file.
constexpr FormatRow kFormats[] = {
    {'D', "DATA-format set.", 40, 1, 0xC1, 2, false},
    {'S', "SYSTEM-format set.", 40, 1, 0x41, 1, false},
    {'V', "VORTEX-format set.", 80, 2, 0x01, 3, true},
    {'+', "+3 DOS-format set.", 40, 1, 0x01, 0, false},
    {'A', "Amstrad PCW-format set.", 80, 2, 0x01, 3, true},
};
constexpr const FormatRow& kDataRow = kFormats[0];
constexpr const FormatRow& kPcwRow = kFormats[4];

constexpr char kFullMenu[] =
    "d)ata 9x512x40x1; s)ystem 9x512x40x1;v)ortex 9x512x80x2;\n"
    "+)3 dos 9x512x40x1; a)mstrad PCW 9x512x80x2;\n"
    "m)odify; o)k\n"
    "Your choice: ";
constexpr char kTwoSidedMenu[] =
    "v)ortex 9x512x80x2; a)mstrad PCW 9x512x80x2;\n"
    "m)odify; o)k\n"
    "Your choice: ";

void apply_row(ProgramState& state, const FormatRow& row) {
  state.geometry.tracks = row.tracks;
  state.geometry.sides = row.sides;
  TrackFormat& format = state.track_format;
  format.size_code = kSizeCode;
  format.sector_count = kSectorsPerTrack;
  format.gap3 = kGap3;
  format.filler = kFiller;
  format.first_sector_id = row.first_sector_id;
  state.disk_spec = kDiskSpecs[row.spec_type];
}

const FormatRow* find_row(char key, FormatMenu menu) {
  for (const FormatRow& row : kFormats) {
    if (row.key == key && (menu == FormatMenu::kFull || row.two_sided_menu)) return &row;
  }
  return nullptr;
}

}  // namespace

std::uint16_t track_size(std::uint8_t sector_count, std::uint8_t size_code) {
  return static_cast<std::uint16_t>(sector_count * sector_bytes(size_code) + kInfoBlockBytes);
}

Outcome select_format(ProgramState& state, FormatMenu menu) {
  apply_row(state, menu == FormatMenu::kFull ? kDataRow : kPcwRow);
  print_out(state, "Select format :\n");
  for (;;) {
    print_out(state, "%s", menu == FormatMenu::kFull ? kFullMenu : kTwoSidedMenu);
    if (!read_answer(state)) return Outcome::kInputEnded;
    const char key = upper_letter(state.line[0]);
    if (key == 'O') {
      print_out(state, "Ok.\n");
      break;
    }
    if (key == 'M') {
      print_out(state, "Modify: not implemented.\n");
    } else if (const FormatRow* row = find_row(key, menu)) {
      apply_row(state, *row);
      print_out(state, "%s\n", row->message);
    } else {
      print_out(state, "unknown format.\n");
    }
  }
  const TrackFormat& format = state.track_format;
  state.geometry.track_size = track_size(format.sector_count, format.size_code);
  return Outcome::kMenu;
}
