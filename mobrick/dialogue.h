// dialogue: the prompts of mobrick, the two name settings and the console
// output that every operation uses.
#ifndef MOBRICK_DIALOGUE_H_
#define MOBRICK_DIALOGUE_H_

#include "program_state.h"

// Writes to the console's output stream, printf style.
void print_out(ProgramState& state, const char* format, ...)
    __attribute__((format(printf, 2, 3)));

// Writes an error note to the console's error stream, printf style, after
// flushing the output stream so that the two stay in order on a terminal.
void print_err(ProgramState& state, const char* format, ...)
    __attribute__((format(printf, 2, 3)));

// Flushes the output stream so that a prompt or progress line shows before
// the program waits or works.
void show(ProgramState& state);

// Returns `c` in upper case if it is a lower-case letter a to z, else `c`.
char upper_letter(char c);

// Flushes the output, then reads up to the next newline, at most 79
// characters, into `line`; a trailing newline is cut off. What did not fit
// stays in the input for the next prompt. Returns false at end of input
// (nothing read); `line` is then empty.
[[nodiscard]] bool read_answer(ProgramState& state);

// Asks "file already exist. Overwrite (y/n) ? " if the image file can be
// opened for reading. Returns kMenu with `go_on` set to the answer (true
// without a question if the file cannot be read); kInputEnded, with `go_on`
// false, if the input ended at the question.
[[nodiscard]] Outcome ask_overwrite(ProgramState& state, bool& go_on);

// Menu choice 1: takes the answer as the 'dd' file name.
[[nodiscard]] Outcome set_dd_file(ProgramState& state);

// Menu choice 2: takes the answer as the image name, adding ".dsk" when the
// name holds no '.', and confirms it.
[[nodiscard]] Outcome set_image_file(ProgramState& state);

#endif  // MOBRICK_DIALOGUE_H_
