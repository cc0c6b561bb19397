// zelnor: prints the 16-bit checksum and the length of each file named.
#include <getopt.h>

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <memory>

#include "checksum.h"
#include "process_setup.h"

namespace {

constexpr int kVersionMajor = 0;
constexpr int kVersionMinor = 2;

constexpr char kNotice[] =
    "Zelnor - checksum and length of files, by the Zelnor authors.\n"
    "Zelnor comes with ABSOLUTELY NO WARRANTY; see the file LICENSE for details.\n"
    "\n";

// Every option: getopt_long's short and long options and the help text are
// all made from this table. None takes an argument.
struct OptionSpec {
  char letter;
  const char* name;
  const char* help;
};

constexpr OptionSpec kOptions[] = {
    {'h', "help", "display this message"},
    {'v', "version", "display version number and expiration date"},
    {'x', "hex", "print checksum in hex mode"},
};
constexpr size_t kOptionCount = sizeof kOptions / sizeof kOptions[0];

// The help texts stand in one column behind the long names.
constexpr int kLongNameWidth = 10;

struct Options {
  const char* program_name = "zelnor";
  int hex_mode = 0;  // counts -x/--hex; any non-zero value selects hex output
  char** files = nullptr;  // the file arguments in command-line order, moved to the front of argv
  int file_count = 0;
};

Options options;

struct FileCloser {
  void operator()(FILE* f) const { std::fclose(f); }
};
using InputFile = std::unique_ptr<FILE, FileCloser>;

const char* base_name(const char* path) {
  const char* slash = std::strrchr(path, '/');
  return slash ? slash + 1 : path;
}

void write_notice() { std::fwrite(kNotice, 1, sizeof kNotice - 1, stderr); }

int usage() {
  std::fprintf(stderr, "Usage: %s [options] files\nAvailable options:\n", options.program_name);
  for (const OptionSpec& o : kOptions) {
    std::fprintf(stderr, "  -%c, --%-*s %s\n", o.letter, kLongNameWidth, o.name, o.help);
  }
  return 1;
}

// Reports a failure on `path` as "<name>: <what> <path><after>  --> reason:
// <error>", the error being errno's on entry.
void report(const char* what, const char* path, const char* after = "") {
  const int saved = errno;
  std::fprintf(stderr, "%s: %s <%s>%s", options.program_name, what, path, after);
  errno = saved;
  std::perror("  --> reason");
}

// Returns 0 when the file was summed and its line printed, 1 when it failed.
int checksum_path(const char* path) {
  InputFile file(std::fopen(path, "rb"));
  if (!file) {
    report("couldn't open", path, " for reading");
    return 1;
  }
  Checksum result;
  if (!checksum_file(file.get(), &result)) {
    report("error reading", path);
    return 1;
  }
  if (options.hex_mode) {
    std::printf("%s: %04X, %6" PRIu64 " bytes\n", path, static_cast<unsigned>(result.sum),
                result.count);
  } else {
    std::printf("%s: %5u, %6" PRIu64 " bytes\n", path, static_cast<unsigned>(result.sum),
                result.count);
  }
  return 0;
}

// getopt_long's view of kOptions. The leading '-' of the short options hands
// every file name over in place (as option 1), so that options after file
// names count whatever POSIXLY_CORRECT says; after "--" getopt_long stops and
// the rest are files.
struct GetoptTables {
  char short_options[1 + kOptionCount + 1];
  option long_options[kOptionCount + 1];
};

GetoptTables make_getopt_tables() {
  GetoptTables t{};
  t.short_options[0] = '-';
  for (size_t i = 0; i < kOptionCount; i++) {
    t.short_options[1 + i] = kOptions[i].letter;
    t.long_options[i] = {kOptions[i].name, no_argument, nullptr, kOptions[i].letter};
  }
  return t;
}

int run(int argc, char** argv) {
  const GetoptTables tables = make_getopt_tables();
  // A file name is moved down to argv[1 + file_count], a slot at or before
  // its own that getopt_long has already passed.
  options.files = argv + 1;
  optind = 0;
  opterr = 0;
  int c;
  while ((c = getopt_long(argc, argv, tables.short_options, tables.long_options, nullptr)) != -1) {
    switch (c) {
      case 1:
        options.files[options.file_count++] = optarg;
        break;
      case 'v':
        write_notice();
        std::fprintf(stderr, "This is Zelnor %d.%d.\n", kVersionMajor, kVersionMinor);
        return 1;
      case 'x':
        options.hex_mode++;
        break;
      default:
        return usage();
    }
  }
  for (int i = optind; i < argc; i++) options.files[options.file_count++] = argv[i];
  if (options.file_count == 0) return usage();

  write_notice();
  int status = 0;
  for (int i = 0; i < options.file_count; i++) status |= checksum_path(options.files[i]);
  return status;
}

// Results that could not all be written are a failure, as a full disk shows
// only when the buffered output is flushed.
int close_stdout(int status) {
  const bool failed_before = std::ferror(stdout);
  if (std::fclose(stdout) != 0 || failed_before) {
    report("error writing", "standard output");
    return 1;
  }
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 0 && argv[0] != nullptr) options.program_name = base_name(argv[0]);
  if (!fill_closed_standard_descriptors()) {
    std::fprintf(stderr, "%s: cannot open /dev/null\n", options.program_name);
    return 1;
  }
  ignore_file_size_signal();
  return close_stdout(run(argc, argv));
}
