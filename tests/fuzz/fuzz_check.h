#pragma once
// Invariant checks for the fuzz targets: a broken invariant says which one
// and stops the process the way libFuzzer records as a crash.
#include <cstdio>

#define ZX_FUZZ_CHECK(condition)                                                      \
  do {                                                                                \
    if (!(condition)) {                                                               \
      std::fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__,      \
                   #condition);                                                       \
      __builtin_trap();                                                               \
    }                                                                                 \
  } while (false)
