#include "converter.h"

#include <sys/stat.h>

#include <cstdio>

#include "gif_writer.h"
#include "interrupt.h"
#include "screen.h"

namespace {

constexpr uint16_t kLogicalScreenWidth = 320;
constexpr uint16_t kLogicalScreenHeight = 240;
constexpr int16_t kPaletteBits = 6;  // levels of screen_palette are 0 to 63

bool is_directory(FILE* file) {
  struct stat status;
  return fstat(fileno(file), &status) == 0 && S_ISDIR(status.st_mode);
}

bool ends_with(const std::string& name, const char* suffix) {
  const std::string::size_type length = std::char_traits<char>::length(suffix);
  return name.size() >= length && name.compare(name.size() - length, length, suffix) == 0;
}

// Whether an existing file named `gif_name` is the file described by `screen`.
bool is_same_file(const struct stat& screen, const std::string& gif_name) {
  struct stat gif;
  return stat(gif_name.c_str(), &gif) == 0 && gif.st_dev == screen.st_dev && gif.st_ino == screen.st_ino;
}

[[nodiscard]] bool fail_compress(GifStatus status, const std::string& gif_name) {
  std::printf("\nCannot compress GIF image (%s)\n", gif_status_text(status));
  (void)gif_close();
  std::remove(gif_name.c_str());
  return false;
}

// Writes the GIF for converter.screen_data, converter.animated deciding its kind.
[[nodiscard]] bool write_gif(const std::string& gif_name) {
  GifStatus status = gif_create(gif_name.c_str(), kLogicalScreenWidth, kLogicalScreenHeight,
                                kScreenColours, kPaletteBits);
  if (status != GIF_OK) {
    std::printf("\nCannot create GIF file (%s)\n", gif_status_text(status));
    return false;
  }
  for (int i = 0; i < kScreenColours; ++i) {
    gif_set_colour(i, screen_palette[i].red, screen_palette[i].green, screen_palette[i].blue);
  }
  gif_write_globals();
  status = gif_compress_image(0);
  if (status == GIF_OK && converter.animated) status = gif_compress_image(1);
  if (status != GIF_OK) return fail_compress(status, gif_name);
  status = gif_close();
  if (status != GIF_OK) {
    std::printf("\nCannot close GIF file (%s)\n", gif_status_text(status));
    std::remove(gif_name.c_str());
    return false;
  }
  return true;
}

}  // namespace

FileHolder open_screen_file(const std::string& argument, std::string* input_name) {
  for (const char* extension : {"", ".scr", ".SCR"}) {
    *input_name = argument + extension;
    FileHolder file(std::fopen(input_name->c_str(), "rb"));
    if (file && !is_directory(file.get())) return file;
  }
  return nullptr;
}

std::string make_gif_name(const std::string& input_name) {
  std::string gif_name = input_name;
  if (ends_with(gif_name, ".scr")) {
    gif_name.replace(gif_name.size() - 3, 3, "gif");
  } else if (ends_with(gif_name, ".SCR")) {
    gif_name.replace(gif_name.size() - 3, 3, "GIF");
  } else {
    gif_name += ".gif";
  }
  return gif_name;
}

bool convert_file(const std::string& argument) {
  std::string input_name;
  FileHolder input = open_screen_file(argument, &input_name);
  if (!input) {
    const char* typed = argument.c_str();
    std::printf("Cannot find any file named %s, %s.scr or %s.SCR, so there!\n", typed, typed, typed);
    return false;
  }
  const std::string gif_name = make_gif_name(input_name);
  std::printf("Converting %s to %s ... ", input_name.c_str(), gif_name.c_str());
  std::fflush(stdout);

  if (!read_screen(input.get())) {
    std::printf("\nSorry, %s doesn't look like a SCR file to me!\n", input_name.c_str());
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

  if (is_same_file(screen_file, gif_name)) {
    std::printf("\nSorry, %s would overwrite %s!\n", gif_name.c_str(), input_name.c_str());
    return false;
  }
  arm_interrupt_removal(gif_name);
  const bool written = write_gif(gif_name);
  disarm_interrupt_removal();
  if (!written) return false;
  std::puts("done");
  return true;
}
