// converter: finds, reads and converts one screen file into a GIF file beside it.
#ifndef PIXTREL_CONVERTER_H_
#define PIXTREL_CONVERTER_H_

// Converts the screen file named by `argument` (as typed) into a still GIF, or
// an animated one when converter.flash_option is set and the screen has FLASH
// cells, printing the progress line and any failure message on stdout.
//
// The screen file is `argument`, else `argument` + ".scr", else `argument` +
// ".SCR", whichever first opens and is no directory; its GIF has a final
// ".scr" turned into ".gif", a final ".SCR" into ".GIF", or ".gif" appended.
// The screen is the file's first 6912 bytes, or the 6912 bytes behind the
// header of a file saved by +3DOS as CODE of that length. A GIF name that
// leads to the screen file (a link) or to standard output is refused before
// the GIF is opened.
//
// Returns false after the first failure. A GIF that was begun is removed when
// its writing fails, and when SIGINT, SIGTERM or SIGHUP ends the run, if it
// is a regular file: a FIFO, device or socket at the GIF name is kept.
[[nodiscard]] bool convert_file(const char* argument);

#endif  // PIXTREL_CONVERTER_H_
