// test_fail_nth_allocation: test support, preloaded into a program under test
// (LD_PRELOAD) to make one of its allocations fail.
//
// The n-th call of malloc, calloc or realloc, counted together from the
// start of the process, returns null with errno ENOMEM, where n is the
// environment variable FAIL_ALLOCATION; every other call is glibc's own.
// When that call has been failed, the file named by FAIL_ALLOCATION_MARK is
// created, so that the test knows the run got that far.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdlib>

extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* old, std::size_t size);
}

namespace {

unsigned long calls = 0;
unsigned long fail_at = 0;  // 0: none
bool read_environment = false;

// Counts this call; true if it is the one to fail.
bool fails_now() {
  if (!read_environment) {
    read_environment = true;  // getenv allocates nothing
    if (const char* at = std::getenv("FAIL_ALLOCATION")) fail_at = std::strtoul(at, nullptr, 10);
  }
  if (++calls != fail_at) return false;
  if (const char* mark = std::getenv("FAIL_ALLOCATION_MARK")) {
    const int fd = open(mark, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd >= 0) close(fd);
  }
  errno = ENOMEM;
  return true;
}

}  // namespace

extern "C" {

void* malloc(std::size_t size) { return fails_now() ? nullptr : __libc_malloc(size); }

void* calloc(std::size_t count, std::size_t size) { return fails_now() ? nullptr : __libc_calloc(count, size); }

void* realloc(void* old, std::size_t size) { return fails_now() ? nullptr : __libc_realloc(old, size); }

}  // extern "C"
