#include "dialogue.h"

#include <cstdarg>
#include <cstring>

namespace {
constexpr char kImageExtension[] = ".dsk";
}  // namespace

void print_out(ProgramState& state, const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vfprintf(state.console.out, format, args);
  va_end(args);
}

void print_err(ProgramState& state, const char* format, ...) {
  std::fflush(state.console.out);
  va_list args;
  va_start(args, format);
  std::vfprintf(state.console.err, format, args);
  va_end(args);
}

char upper_letter(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

void show(ProgramState& state) { std::fflush(state.console.out); }

bool read_answer(ProgramState& state) {
  show(state);
  char* line = state.line.data();
  if (std::fgets(line, static_cast<int>(state.line.size()), state.console.in) == nullptr) {
    line[0] = '\0';
    return false;
  }
  char* newline = std::strrchr(line, '\n');
  if (newline != nullptr) *newline = '\0';
  return true;
}

Outcome ask_overwrite(ProgramState& state, bool& go_on) {
  go_on = true;
  FileStream existing;
  if (!existing.open(state.image.name.data(), "r")) return Outcome::kMenu;
  existing.discard();
  print_out(state, "file already exist. Overwrite (y/n) ? ");
  const bool answered = read_answer(state);
  go_on = answered && upper_letter(state.line[0]) == 'Y';
  return answered ? Outcome::kMenu : Outcome::kInputEnded;
}

Outcome set_dd_file(ProgramState& state) {
  print_out(state, "filename of 'dd' image: ");
  if (!read_answer(state)) return Outcome::kInputEnded;
  std::memcpy(state.dd.name.data(), state.line.data(), state.line.size());
  return Outcome::kMenu;
}

Outcome set_image_file(ProgramState& state) {
  print_out(state, "New image file (without .dsk) : ");
  if (!read_answer(state)) return Outcome::kInputEnded;
  char* name = state.image.name.data();
  std::memcpy(name, state.line.data(), state.line.size());
  if (std::strchr(name, '.') == nullptr) std::strcat(name, kImageExtension);
  print_out(state, "Image file set to %s\n", name);
  return Outcome::kMenu;
}
