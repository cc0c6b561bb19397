#include "menu.h"

#include <cstdio>

#include "dialogue.h"
#include "format.h"
#include "transfer.h"

namespace {

constexpr char kBanner[] =
    "\n\nMOBRICK v0.2\n"
    "(Transfer CPC/+3/PCW-disks to disk-images and vice versa)\n"
    "(and make newly formatted disks)";
constexpr char kMenu[] =
    "\n\n1) Set 'dd' file\n"
    "2) Set Image file\n"
    "3) Copy 'dd' file -> Image\n"
    "4) Copy Image -> 'dd' file\n"
    "5) Format disk\n"
    "6) Quit\n"
    "\n"
    "Your choice: ";

// A run that gave an operation up fails, so that a script sees it.
int quit_status(const ProgramState& state) { return state.operation_failed ? 1 : 0; }

}  // namespace

int run_menu(ProgramState& state) {
  print_out(state, "%s", kBanner);
  for (;;) {
    print_out(state, "%s", kMenu);
    // The end of input quits; a failed read is no Quit.
    if (!read_answer(state)) return std::ferror(state.console.in) ? 1 : quit_status(state);
    Outcome outcome = Outcome::kMenu;
    switch (state.line[0]) {
      case '1': outcome = set_dd_file(state); break;
      case '2': outcome = set_image_file(state); break;
      case '3': outcome = copy_dd_to_image(state); break;
      case '4': outcome = copy_image_to_dd(state); break;
      case '5': outcome = format_image(state); break;
      case '6': return quit_status(state);
      default: print_out(state, " only 1-6 : "); break;
    }
    if (outcome != Outcome::kMenu) return 1;
  }
}
