// removal: removes the GIF file being written when its writing fails or when
// SIGINT, SIGTERM or SIGHUP ends the run, so that no cut GIF is left, and
// never removes anything that pixtrel did not write.
#ifndef PIXTREL_REMOVAL_H_
#define PIXTREL_REMOVAL_H_

#include <signal.h>

// Installs the handler of SIGINT, SIGTERM and SIGHUP; a signal that is ignored
// at this point (as under nohup) stays ignored. The handler removes the armed
// file, if any, then ends the process by the same signal at its default
// action, so that the parent sees which signal ended it.
void install_interrupt_handlers();

// Holds SIGINT, SIGTERM and SIGHUP back until release_interrupts(`held`),
// which gives back the mask that hold_interrupts() returned, so that a signal
// that arrived meanwhile acts, and one blocked before stays blocked.
sigset_t hold_interrupts();
void release_interrupts(const sigset_t& held);

// Arms the removal of the file open on `fd` under the name `path`, if it is a
// regular file: the file itself (the target where `path` is a link) is
// removed by remove_armed_file() or the signal handler. A FIFO, a device or a
// socket is never armed. Allocates nothing; call with the signals held, right
// after the open, so that no signal finds the file open and not armed.
void arm_removal(const char* path, int fd);

// Removes the armed file if its name still leads to the file that was armed
// (same device and inode), then disarms. Async-signal-safe.
void remove_armed_file();

// From now on nothing is removed.
void disarm_removal();

#endif  // PIXTREL_REMOVAL_H_
