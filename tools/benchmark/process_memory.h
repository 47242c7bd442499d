#pragma once
// The working set of this process, as the peak-memory rows report it.
#include <windows.h>
#include <psapi.h>

namespace zxbench {

struct MemorySnapshot {
  SIZE_T workingSet;      // now
  SIZE_T peakWorkingSet;  // the most since the process started
};

inline MemorySnapshot TakeMemorySnapshot() {
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return {counters.WorkingSetSize, counters.PeakWorkingSetSize};
}

}  // namespace zxbench
