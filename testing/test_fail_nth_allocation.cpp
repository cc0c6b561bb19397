// test_fail_nth_allocation: test support, preloaded into a program under test
// (LD_PRELOAD): the n-th call of malloc, calloc or realloc, counted together,
// returns null with errno ENOMEM, n being the environment's FAIL_ALLOCATION;
// every other call is glibc's own. Failing it creates the file named by
// FAIL_ALLOCATION_MARK, so that the test knows the run got that far.
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

bool fails_now() {
  static const char* const fail_at = std::getenv("FAIL_ALLOCATION");  // getenv allocates nothing
  if (fail_at == nullptr || ++calls != std::strtoul(fail_at, nullptr, 10)) return false;
  if (const char* mark = std::getenv("FAIL_ALLOCATION_MARK")) close(open(mark, O_WRONLY | O_CREAT | O_CLOEXEC, 0600));
  errno = ENOMEM;
  return true;
}

}  // namespace

extern "C" {
void* malloc(std::size_t size) { return fails_now() ? nullptr : __libc_malloc(size); }
void* calloc(std::size_t count, std::size_t size) { return fails_now() ? nullptr : __libc_calloc(count, size); }
void* realloc(void* old, std::size_t size) { return fails_now() ? nullptr : __libc_realloc(old, size); }
}
