// pixtrel: converts screen dumps (.scr) into GIF images, FLASHing ones
// optionally into two-frame looping animations.
#include <cstdio>
#include <cstring>

#include "converter.h"
#include "process_setup.h"
#include "removal.h"
#include "screen.h"

namespace {

constexpr char kBanner[] = "\nPIXTREL v1.0 - screen dumps to GIF images, by the pixtrel authors\n\n";
constexpr char kUsage[] =
    "Usage: pixtrel [-f] filename[.scr] ...\n"
    "       -f = Convert FLASHing screens to animated GIF\n";

int usage() {
  std::fputs(kUsage, stderr);
  return 1;
}

int run(int argc, char** argv) {
  std::fputs(kBanner, stdout);
  if (argc < 2) return usage();
  int first = 1;
  if (std::strcmp(argv[1], "-f") == 0 || std::strcmp(argv[1], "-F") == 0) {
    if (argc < 3) return usage();
    converter.flash_option = true;
    first = 2;
  }
  for (int i = first; i < argc; ++i) {
    if (!convert_file(argv[i])) return 1;
  }
  return 0;
}

// Messages that could not all be written (a full disk) fail the run; the
// error flag stays set after the failed flush that found it.
int close_stdout(int status) {
  const bool failed_before = std::ferror(stdout);
  if (std::fclose(stdout) != 0 || failed_before) {
    std::fputs("pixtrel: error writing standard output\n", stderr);
    return 1;
  }
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  if (!fill_closed_standard_descriptors()) {
    std::fputs("pixtrel: cannot open /dev/null\n", stderr);
    return 1;
  }
  ignore_file_size_signal();
  install_interrupt_handlers();
  return close_stdout(run(argc, argv));
}
