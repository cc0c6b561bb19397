// process_setup: what pixtrel makes sure of at start-up, before it opens any
// file. Each program keeps a copy of its own: the three programs share no code.
#ifndef PIXTREL_PROCESS_SETUP_H_
#define PIXTREL_PROCESS_SETUP_H_

// Opens /dev/null on each of the descriptors 0, 1 and 2 that is closed, so
// that no file opened later takes the place of a standard stream: 0 for
// writing and 1 and 2 for reading, so that using such a stream fails and is
// reported like any other failed read or write. Returns false if a closed
// descriptor could not be filled.
[[nodiscard]] bool fill_closed_standard_descriptors();

// Ignores SIGXFSZ, so that a write beyond the file-size limit fails with
// EFBIG, and is reported, instead of killing the process midway.
void ignore_file_size_signal();

#endif  // PIXTREL_PROCESS_SETUP_H_
