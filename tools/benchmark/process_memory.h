#pragma once
// What the process holds, as the memory rows report it.
#include <windows.h>
#include <psapi.h>

namespace zxbench {

struct MemorySnapshot {
  SIZE_T workingSet;      // now
  SIZE_T peakWorkingSet;  // the most since the process started
  SIZE_T privateBytes;    // committed memory of this process alone
};

inline MemorySnapshot TakeMemorySnapshot() {
  PROCESS_MEMORY_COUNTERS_EX counters = {};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                       sizeof counters);
  // Wine leaves PrivateUsage at 0; its PagefileUsage is the same figure.
  const SIZE_T privateBytes = counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
  return {counters.WorkingSetSize, counters.PeakWorkingSetSize, privateBytes};
}

}  // namespace zxbench
