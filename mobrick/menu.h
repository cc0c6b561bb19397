// menu: the banner and the main menu loop of mobrick.
#ifndef MOBRICK_MENU_H_
#define MOBRICK_MENU_H_

#include "program_state.h"

// Prints the banner, then shows the menu and runs the chosen operations
// until Quit or the end of input at the menu (returns 1 if an operation of
// the run was given up, else 0), or until an operation ends fatally, the
// input ends at one of its prompts or cannot be read (returns 1). The result
// is the process's exit status.
int run_menu(ProgramState& state);

#endif  // MOBRICK_MENU_H_
