#include "format_table.h"

#include "dialogue.h"
#include "dsk_image.h"

namespace {

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

// A menu shows a row as "<label> <sectors>x<sector bytes>x<tracks>x<sides>;"
// and then the row's text for that menu: a space, nothing or a line break, as
// the menus have always been laid out. A null text keeps the row out of that
// menu.
struct DiskFormat {
  const char* label;  // "d)ata": the key, as typed, and ')'
  const char* name;   // in "<name>-format set."
  std::uint8_t tracks;
  std::uint8_t sides;
  std::uint8_t sector_count;
  std::uint8_t size_code;
  std::uint8_t first_sector_id;
  std::uint8_t gap3;
  std::uint8_t spec_type;  // index into kDiskSpecs
  const char* in_format_menu;
  const char* in_copy_menu;
};

// A +3 DOS track holds IDs 1 to 9, as on a real +3 disk, so that its sectors
// have slots in a 'dd' file.
constexpr DiskFormat kFormats[] = {
    {"d)ata", "DATA", 40, 1, 9, 2, 0xC1, 0x4E, 2, " ", nullptr},
    {"s)ystem", "SYSTEM", 40, 1, 9, 2, 0x41, 0x4E, 1, "", nullptr},
    {"v)ortex", "VORTEX", 80, 2, 9, 2, 0x01, 0x4E, 3, "\n", " "},
    {"+)3 dos", "+3 DOS", 40, 1, 9, 2, 0x01, 0x4E, 0, " ", nullptr},
    {"a)mstrad PCW", "Amstrad PCW", 80, 2, 9, 2, 0x01, 0x4E, 3, "\n", "\n"},
};
constexpr const DiskFormat& kFormattingDefault = kFormats[0];  // DATA
constexpr const DiskFormat& kCopyDefault = kFormats[4];        // Amstrad PCW

const char* text_in_menu(const DiskFormat& row, FormatMenu menu) {
  return menu == FormatMenu::kFormatting ? row.in_format_menu : row.in_copy_menu;
}

void print_menu(ProgramState& state, FormatMenu menu) {
  for (const DiskFormat& row : kFormats) {
    if (const char* after = text_in_menu(row, menu)) {
      print_out(state, "%s %dx%zux%dx%d;%s", row.label, row.sector_count, sector_bytes(row.size_code), row.tracks,
                row.sides, after);
    }
  }
  print_out(state, "m)odify; o)k\nYour choice: ");
}

void apply_row(ProgramState& state, const DiskFormat& row) {
  state.geometry.tracks = row.tracks;
  state.geometry.sides = row.sides;
  TrackFormat& format = state.track_format;
  format.size_code = row.size_code;
  format.sector_count = row.sector_count;
  format.gap3 = row.gap3;
  format.filler = kFiller;
  format.first_sector_id = row.first_sector_id;
  state.disk_spec = kDiskSpecs[row.spec_type];
}

// The row of `menu` whose key is `key` (upper case), or null.
const DiskFormat* find_row(char key, FormatMenu menu) {
  for (const DiskFormat& row : kFormats) {
    if (upper_letter(row.label[0]) == key && text_in_menu(row, menu) != nullptr) return &row;
  }
  return nullptr;
}

}  // namespace

std::uint16_t track_size(std::uint8_t sector_count, std::uint8_t size_code) {
  return static_cast<std::uint16_t>(sector_count * sector_bytes(size_code) + kInfoBlockBytes);
}

Outcome select_format(ProgramState& state, FormatMenu menu) {
  apply_row(state, menu == FormatMenu::kFormatting ? kFormattingDefault : kCopyDefault);
  print_out(state, "Select format :\n");
  for (;;) {
    print_menu(state, menu);
    if (!read_answer(state)) return Outcome::kInputEnded;
    const char key = upper_letter(state.line[0]);
    if (key == 'O') {
      print_out(state, "Ok.\n");
      break;
    }
    if (key == 'M') {
      print_out(state, "Modify: not implemented.\n");
    } else if (const DiskFormat* row = find_row(key, menu)) {
      apply_row(state, *row);
      print_out(state, "%s-format set.\n", row->name);
    } else {
      print_out(state, "unknown format.\n");
    }
  }
  const TrackFormat& format = state.track_format;
  state.geometry.track_size = track_size(format.sector_count, format.size_code);
  return Outcome::kMenu;
}
