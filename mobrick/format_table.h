// format_table: the disk formats that mobrick writes, one row each, and the
// dialogue that picks one for an image about to be written.
#ifndef MOBRICK_FORMAT_TABLE_H_
#define MOBRICK_FORMAT_TABLE_H_

#include <cstdint>

#include "program_state.h"

// The format menus by purpose: formatting an image (default DATA) and the
// copy from a 'dd' file into an image (default Amstrad PCW). Each row of the
// table says which of them show it.
enum class FormatMenu { kFormatting, kCopy };

// Bytes of one track block: the Track-Info block and `sector_count` sectors
// of 128 << `size_code` bytes.
std::uint16_t track_size(std::uint8_t sector_count, std::uint8_t size_code);

// Runs the format dialogue of `menu` until the user answers o. Returns kMenu
// with `geometry` (tracks, sides, track_size), the format values of
// `track_format` and `disk_spec` set from the format
// applied last; kInputEnded if the input ended first (the default or last
// chosen format is then in force, track_size not set).
[[nodiscard]] Outcome select_format(ProgramState& state, FormatMenu menu);

#endif  // MOBRICK_FORMAT_TABLE_H_
