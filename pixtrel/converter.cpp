#include "converter.h"

#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "file_holder.h"
#include "gif_writer.h"
#include "removal.h"
#include "screen.h"

namespace {

constexpr uint16_t kLogicalScreenWidth = 320;
constexpr uint16_t kLogicalScreenHeight = 240;
constexpr int16_t kPaletteBits = 6;  // levels of screen_palette are 0 to 63
constexpr size_t kExtensionLength = 4;

// The names of the file being converted. A name that opens is shorter than
// PATH_MAX, so these hold it with an extension appended, without allocating.
char input_name[PATH_MAX + kExtensionLength];
char gif_name[sizeof input_name + kExtensionLength];

bool is_directory(FILE* file) {
  struct stat status;
  return fstat(fileno(file), &status) == 0 && S_ISDIR(status.st_mode);
}

bool ends_with(const char* name, const char* suffix) {
  const size_t length = std::strlen(name), suffix_length = std::strlen(suffix);
  return length >= suffix_length && std::strcmp(name + length - suffix_length, suffix) == 0;
}

// Opens `argument`, else `argument` + ".scr", else `argument` + ".SCR", and
// leaves the name that opened in input_name; a directory does not count as
// opened. Returns null when none opens, *out_of_memory telling whether one
// failed for want of memory rather than of a file.
FILE* open_screen_file(const char* argument, bool* out_of_memory) {
  *out_of_memory = false;
  for (const char* extension : {"", ".scr", ".SCR"}) {
    // Too long to fit is too long to open.
    if (std::snprintf(input_name, sizeof input_name, "%s%s", argument, extension) >=
        static_cast<int>(sizeof input_name)) {
      continue;
    }
    FileHolder file(std::fopen(input_name, "rb"));
    if (!file && errno == ENOMEM) *out_of_memory = true;
    if (file && !is_directory(file.get())) return file.release();
  }
  return nullptr;
}

// Sets gif_name from input_name.
void make_gif_name() {
  std::strcpy(gif_name, input_name);
  if (ends_with(gif_name, ".scr")) {
    std::strcpy(gif_name + std::strlen(gif_name) - kExtensionLength, ".gif");
  } else if (ends_with(gif_name, ".SCR")) {
    std::strcpy(gif_name + std::strlen(gif_name) - kExtensionLength, ".GIF");
  } else {
    std::strcat(gif_name, ".gif");
  }
}

bool is_same_file(const struct stat& one, const struct stat& other) {
  return one.st_dev == other.st_dev && one.st_ino == other.st_ino;
}

// A GIF name that leads to the screen file or to standard output: refused
// with its message.
bool is_refused(const struct stat& gif_file, const struct stat& screen_file) {
  if (is_same_file(gif_file, screen_file)) {
    std::printf("\nSorry, %s would overwrite %s!\n", gif_name, input_name);
    return true;
  }
  struct stat output;
  if (fstat(STDOUT_FILENO, &output) == 0 && is_same_file(gif_file, output)) {
    std::printf("\nSorry, %s would overwrite standard output!\n", gif_name);
    return true;
  }
  return false;
}

// gif_create, the GIF's removal armed from the moment it is open. Where the
// open cannot wait (`at_once`: the name leads to nothing or to a regular
// file), the signals are held around it, so that none finds the file open and
// not armed; a FIFO or device is opened with them free, so a signal still
// ends a run that waits on it, and is never armed.
[[nodiscard]] GifStatus create_gif(bool at_once) {
  sigset_t held{};
  if (at_once) held = hold_interrupts();
  const GifStatus status = gif_create(gif_name, kLogicalScreenWidth, kLogicalScreenHeight, kScreenColours,
                                      kPaletteBits);
  if (gif_writer.gif_file) arm_removal(gif_name, fileno(gif_writer.gif_file.get()));
  if (at_once) release_interrupts(held);
  return status;
}

[[nodiscard]] bool fail(const char* format, GifStatus status) {
  std::printf(format, gif_status_text(status));
  remove_armed_file();
  return false;
}

// Writes the GIF for converter.screen_data, converter.animated deciding its kind.
[[nodiscard]] bool write_gif(bool at_once) {
  GifStatus status = create_gif(at_once);
  if (status != GIF_OK) return fail("\nCannot create GIF file (%s)\n", status);
  for (int i = 0; i < kScreenColours; ++i) {
    gif_set_colour(i, screen_palette[i].red, screen_palette[i].green, screen_palette[i].blue);
  }
  gif_write_globals();
  status = gif_compress_image(0);
  if (status == GIF_OK && converter.animated) status = gif_compress_image(1);
  if (status != GIF_OK) {
    (void)gif_close();
    return fail("\nCannot compress GIF image (%s)\n", status);
  }
  status = gif_close();
  if (status != GIF_OK) return fail("\nCannot close GIF file (%s)\n", status);
  disarm_removal();
  return true;
}

}  // namespace

bool convert_file(const char* argument) {
  bool out_of_memory;
  FileHolder input(open_screen_file(argument, &out_of_memory));
  if (!input && out_of_memory) {
    std::printf("Cannot convert %s (Out of memory)\n", argument);  // before the progress, so on a line of its own
    return false;
  }
  if (!input) {
    std::printf("Cannot find any file named %s, %s.scr or %s.SCR, so there!\n", argument, argument, argument);
    return false;
  }
  make_gif_name();
  std::printf("Converting %s to %s ... ", input_name, gif_name);
  std::fflush(stdout);

  if (!read_screen(input.get())) {
    std::printf("\nSorry, %s doesn't look like a SCR file to me!\n", input_name);
    return false;
  }
  // A screen file whose status cannot be had keeps inode 0, which no file has.
  struct stat screen_file {};
  fstat(fileno(input.get()), &screen_file);
  input.reset();

  converter.flash_found = false;
  if (converter.flash_option) scan_for_flash();
  converter.animated = converter.flash_option && converter.flash_found;
  std::fputs(converter.animated ? "animated ... " : "single image ... ", stdout);
  std::fflush(stdout);

  struct stat gif_file;
  const bool gif_exists = stat(gif_name, &gif_file) == 0;
  const bool at_once = gif_exists ? S_ISREG(gif_file.st_mode) : errno == ENOENT;
  if ((gif_exists && is_refused(gif_file, screen_file)) || !write_gif(at_once)) return false;
  // Flushed at once, so that a run that a signal ends has reported every GIF it finished.
  std::puts("done");
  std::fflush(stdout);
  return true;
}
