/* Counts the heap allocations of the process it is preloaded into (LD_PRELOAD), for
   bench/http/compare.sh. On SIGUSR2 the count so far is written to the file named by
   ALLOC_COUNT_FILE. Allocations go on to glibc's own allocator. */
#define _GNU_SOURCE
#include <fcntl.h>
#include <signal.h>
#include <stdatomic.h>
#include <stddef.h>
#include <stdlib.h>
#include <unistd.h>

extern void* __libc_malloc(size_t size);
extern void* __libc_calloc(size_t count, size_t size);
extern void* __libc_realloc(void* pointer, size_t size);
extern void* __libc_memalign(size_t alignment, size_t size);

static atomic_ulong allocations;

void* malloc(size_t size) {
  atomic_fetch_add_explicit(&allocations, 1, memory_order_relaxed);
  return __libc_malloc(size);
}

void* calloc(size_t count, size_t size) {
  atomic_fetch_add_explicit(&allocations, 1, memory_order_relaxed);
  return __libc_calloc(count, size);
}

void* realloc(void* pointer, size_t size) {
  atomic_fetch_add_explicit(&allocations, 1, memory_order_relaxed);
  return __libc_realloc(pointer, size);
}

void* memalign(size_t alignment, size_t size) {
  atomic_fetch_add_explicit(&allocations, 1, memory_order_relaxed);
  return __libc_memalign(alignment, size);
}

void* aligned_alloc(size_t alignment, size_t size) {
  return memalign(alignment, size);
}

int posix_memalign(void** out, size_t alignment, size_t size) {
  void* pointer = memalign(alignment, size);
  if (pointer == NULL) {
    return 12; /* ENOMEM */
  }
  *out = pointer;
  return 0;
}

static void Report(int signal) {
  (void)signal;
  const char* path = getenv("ALLOC_COUNT_FILE");
  if (path == NULL) {
    return;
  }
  char text[32];
  int length = 0;
  unsigned long value = atomic_load(&allocations);
  char digits[24];
  int count = 0;
  do {
    digits[count++] = (char)('0' + value % 10);
    value /= 10;
  } while (value != 0);
  while (count > 0) {
    text[length++] = digits[--count];
  }
  text[length++] = '\n';
  const int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd >= 0) {
    (void)!write(fd, text, (size_t)length);
    close(fd);
  }
}

__attribute__((constructor)) static void Install(void) {
  struct sigaction action = {0};
  action.sa_handler = Report;
  action.sa_flags = SA_RESTART;
  sigaction(SIGUSR2, &action, NULL);
}
