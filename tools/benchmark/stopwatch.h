#pragma once
// Elapsed time from the performance counter, in milliseconds.
#include <windows.h>

namespace zxbench {

class Stopwatch {
 public:
  Stopwatch() { QueryPerformanceCounter(&m_start); }

  double ElapsedMs() const {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(now.QuadPart - m_start.QuadPart) /
           static_cast<double>(frequency.QuadPart);
  }

 private:
  LARGE_INTEGER m_start;
};

}  // namespace zxbench

#include <functional>

namespace zxbench {

// Milliseconds per call of one() over count calls, or -1 when a call failed.
inline double TimePerCall(long count, const std::function<bool()>& one) {
  Stopwatch watch;
  for (long i = 0; i < count; ++i) {
    if (!one()) return -1;
  }
  return watch.ElapsedMs() / count;
}

}  // namespace zxbench
