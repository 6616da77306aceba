/* What holding a decoded picture costs by itself: writes the 11,866,678 bytes of the readers
   benchmark's 2400x1648 true-colour picture row by row (7,200 bytes a row) into memory that is
   fresh from the system, and prints the milliseconds the writing took.
     mode 0: calloc (4 KB pages, as the Windows program takes its pictures)
     mode 1: mapped by itself and advised to take 2 MB pages (as the Linux build does)
     mode 2: memory already touched once (what a streaming decoder writes into)
   Build and run: cc -O2 bench/readers_fresh_pages.c -o /tmp/fresh && /tmp/fresh 1 */
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <time.h>

static double Now(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

int main(int argc, char** argv) {
  const size_t size = 11866678, row = 7200, large = (size_t)2 << 20;
  static char source[7200];
  int mode = argc > 1 ? atoi(argv[1]) : 0;
  char* p;
  memset(source, 7, sizeof source);
  if (mode == 1) {
    size_t mapped = (size + large - 1) & ~(large - 1);
    char* raw = mmap(NULL, mapped + large, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS,
                     -1, 0);
    if (raw == MAP_FAILED) return 1;
    p = (char*)(((uintptr_t)raw + large - 1) & ~(uintptr_t)(large - 1));
    madvise(p, mapped, MADV_HUGEPAGE);
  } else {
    p = calloc(size, 1);
    if (!p) return 1;
    if (mode == 2)
      for (size_t i = 0; i < size; i += 4096) ((volatile char*)p)[i] = 1;
  }
  double start = Now();
  for (size_t at = 0; at + row <= size; at += row) memcpy(p + at, source, row);
  printf("%.2f ms\n", Now() - start);
  return p[size / 2] == 7 ? 0 : 1;
}
