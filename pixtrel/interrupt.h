// interrupt: removes the GIF file being written when SIGINT, SIGTERM or SIGHUP
// ends the run, so that no cut-short GIF is left behind.
#ifndef PIXTREL_INTERRUPT_H_
#define PIXTREL_INTERRUPT_H_

#include <string>

// Installs the handler of SIGINT, SIGTERM and SIGHUP; a signal that is ignored
// at this point (as under nohup) stays ignored. The handler removes the file
// armed, if any, then ends the process by the same signal at its default
// action, so that the parent sees which signal ended it.
void install_interrupt_handlers();

// Makes `path` the file that the handler removes. Call before the file is
// created; it stays armed until disarm_interrupt_removal().
void arm_interrupt_removal(const std::string& path);

// From now on the handler removes no file.
void disarm_interrupt_removal();

#endif  // PIXTREL_INTERRUPT_H_
