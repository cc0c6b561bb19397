// Arbitrary input through the answer reader: every line is one answer, no
// answer holds a newline or more than 4095 characters, and an answer is cut
// only when its line was longer.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "dialogue.h"
#include "program_state.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static FILE* const sink = std::fopen("/dev/null", "w");
  static ProgramState* const state = new ProgramState;
  if (size == 0) return 0;
  FILE* in = fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
  if (sink == nullptr || in == nullptr) std::abort();
  init_program_state(*state, Console{in, sink, sink});
  const char* const end = reinterpret_cast<const char*>(data) + size;
  const char* line = reinterpret_cast<const char*>(data);
  while (read_answer(*state)) {
    if (line >= end) std::abort();  // an answer without a line
    const char* newline = static_cast<const char*>(std::memchr(line, '\n', end - line));
    std::size_t length = (newline != nullptr ? newline : end) - line;
    if (newline != nullptr && length > 0 && line[length - 1] == '\r') --length;
    const std::size_t stored = std::min(length, kLineBytes - 1);
    if (state->line_too_long != (length > stored)) std::abort();
    // Up to the first NUL byte the answer is the line's text.
    if (std::strncmp(state->line.data(), line, stored) != 0 && std::memchr(line, '\0', stored) == nullptr) std::abort();
    line = newline != nullptr ? newline + 1 : end;
  }
  if (line != end) std::abort();  // a line left unread
  std::fclose(in);
  return 0;
}
