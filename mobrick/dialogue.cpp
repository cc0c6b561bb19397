#include "dialogue.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
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
  const std::size_t capacity = state.line.size() - 1;
  std::size_t length = 0;  // characters before the newline, stored or not
  bool read_any = false;
  int c;
  int last = EOF;
  while ((c = std::getc(state.console.in)) != EOF) {
    read_any = true;
    if (c == '\n') break;
    if (length < capacity) line[length] = static_cast<char>(c);
    ++length;
    last = c;
  }
  // A line saved with CRLF line ends: its carriage return goes with the newline.
  if (c == '\n' && last == '\r') --length;
  state.line_too_long = length > capacity;
  line[std::min(length, capacity)] = '\0';
  return read_any && !std::ferror(state.console.in);
}

void report_terminated(ProgramState& state) {
  print_out(state, "Operation terminated incorrectly.\n");
  state.operation_failed = true;
}

Outcome report_no_memory(ProgramState& state) {
  print_err(state, "%s", kNoMemory);
  return Outcome::kFatal;
}

Outcome report_open_failure(ProgramState& state, ConsoleStream stream) {
  if (errno == ENOMEM) return report_no_memory(state);
  const char* name = state.image.name.data();
  if (stream == ConsoleStream::kErr) {
    print_err(state, "error opening %s\n", name);
  } else {
    print_out(state, "error opening %s\n", name);
  }
  state.operation_failed = true;
  return Outcome::kMenu;
}

Outcome ask_overwrite(ProgramState& state, bool& go_on) {
  go_on = true;
  struct stat existing;
  if (stat(state.image.name.data(), &existing) != 0) return Outcome::kMenu;
  print_out(state, "file already exist. Overwrite (y/n) ? ");
  const bool answered = read_answer(state);
  go_on = answered && upper_letter(state.line[0]) == 'Y';
  return answered ? Outcome::kMenu : Outcome::kInputEnded;
}

namespace {

// Takes the answer as a name with `extension` added when the name holds no
// '.'; false, after "name too long", when the result would not fit a name.
[[nodiscard]] bool take_name(ProgramState& state, std::array<char, kNameBytes>& name, const char* extension) {
  const std::size_t length = std::strlen(state.line.data());
  const bool add = extension != nullptr && std::strchr(state.line.data(), '.') == nullptr;
  const std::size_t added = add ? std::strlen(extension) : 0;
  if (state.line_too_long || length + added >= name.size()) {
    print_out(state, "name too long\n");
    return false;
  }
  std::memcpy(name.data(), state.line.data(), length);
  if (add) std::memcpy(name.data() + length, extension, added);
  name[length + added] = '\0';
  return true;
}

}  // namespace

Outcome set_dd_file(ProgramState& state) {
  print_out(state, "filename of 'dd' image: ");
  if (!read_answer(state)) return Outcome::kInputEnded;
  (void)take_name(state, state.dd.name, nullptr);
  return Outcome::kMenu;
}

Outcome set_image_file(ProgramState& state) {
  print_out(state, "New image file (without .dsk) : ");
  if (!read_answer(state)) return Outcome::kInputEnded;
  if (take_name(state, state.image.name, kImageExtension)) {
    print_out(state, "Image file set to %s\n", state.image.name.data());
  }
  return Outcome::kMenu;
}
