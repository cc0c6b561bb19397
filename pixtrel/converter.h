// converter: finds, reads and converts one screen file into a GIF file beside it.
#ifndef PIXTREL_CONVERTER_H_
#define PIXTREL_CONVERTER_H_

#include <string>

#include "file_holder.h"

// Opens `argument` for reading, else `argument` + ".scr", else `argument` +
// ".SCR"; a directory does not count as opened. Returns the open stream and
// stores the name that opened in *input_name; returns a null holder when none
// of the three opens.
FileHolder open_screen_file(const std::string& argument, std::string* input_name);

// The GIF name for a screen file: a final ".scr" becomes ".gif", a final ".SCR"
// becomes ".GIF", any other name gets ".gif" appended.
std::string make_gif_name(const std::string& input_name);

// Converts the screen file named by `argument` (as typed) into a still GIF, or
// an animated one when converter.flash_option is set and the screen has FLASH
// cells, printing the progress line and any failure message on stdout. The
// screen is the file's first 6912 bytes, or the 6912 bytes behind the header
// of a file saved by +3DOS as CODE of that length. A GIF name that leads to
// the screen file itself (a link) is refused before anything is written.
// Returns false after the first failure; a GIF whose writing failed is
// removed, except when it could not be created, and so is the GIF being
// written when SIGINT, SIGTERM or SIGHUP ends the run.
[[nodiscard]] bool convert_file(const std::string& argument);

#endif  // PIXTREL_CONVERTER_H_
