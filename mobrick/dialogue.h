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

// Flushes the output, then reads one whole line of input as the answer: its
// first 4095 characters go into `line`, without the newline and without a
// carriage return right before it; the rest of a longer line is dropped and
// sets `line_too_long`. Nothing of a line is left for the next prompt.
// Returns false at end of input (nothing read; `line` is then empty) or when
// the input cannot be read.
[[nodiscard]] bool read_answer(ProgramState& state);

// Prints "Operation terminated incorrectly." and marks the run as failed.
void report_terminated(ProgramState& state);

// The note of every allocation that fails, the start-up's included.
constexpr char kNoMemory[] = "malloc: no memory\n";

// Prints kNoMemory on the error stream. Returns kFatal.
[[nodiscard]] Outcome report_no_memory(ProgramState& state);

enum class ConsoleStream { kOut, kErr };

// After a failed open of the image: "error opening <image name>" on
// `stream`, the run marked as failed, kMenu; or, when the open failed for
// want of memory (errno ENOMEM), report_no_memory.
[[nodiscard]] Outcome report_open_failure(ProgramState& state, ConsoleStream stream);

// Asks "file already exist. Overwrite (y/n) ? " if a file of the image's
// name exists, whether or not it can be read. Returns kMenu with `go_on` set
// to the answer (true without a question if there is no such file);
// kInputEnded, with `go_on` false, if the input ended at the question.
[[nodiscard]] Outcome ask_overwrite(ProgramState& state, bool& go_on);

// Menu choice 1: takes the answer as the 'dd' file name; an answer of more
// than 4095 characters is refused with "name too long" and the name kept.
[[nodiscard]] Outcome set_dd_file(ProgramState& state);

// Menu choice 2: takes the answer as the image name, adding ".dsk" when the
// name holds no '.', and confirms it; a name that would be longer than 4095
// characters is refused with "name too long" and the name kept.
[[nodiscard]] Outcome set_image_file(ProgramState& state);

#endif  // MOBRICK_DIALOGUE_H_
