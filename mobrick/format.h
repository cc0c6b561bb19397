// format: writes a freshly formatted disk as a DSK image.
#ifndef MOBRICK_FORMAT_H_
#define MOBRICK_FORMAT_H_

#include "program_state.h"

// Menu choice 5: after the overwrite question, empties the image file and
// writes the format picked in the formatting dialogue: every sector filled
// with the format's filler, the disk's first sector beginning with its
// 16-byte DiskSpec where the format puts it there. Returns kMenu when done or
// given up (messages printed, the image closed); kInputEnded if the input
// ended at a prompt (the image closed); kFatal when the image could not be
// opened for want of memory.
[[nodiscard]] Outcome format_image(ProgramState& state);

#endif  // MOBRICK_FORMAT_H_
