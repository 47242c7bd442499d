#pragma once
// What a test or the benchmark can see of its own process: its callback
// windows, its threads, its handles and its private bytes.
#include <windows.h>

#include <string>
#include <vector>

namespace zx::test {

// The hidden callback windows that belong to a thread.
std::vector<HWND> CallbackWindowsOf(DWORD threadId);

// How many threads the process runs: to see one that a dialog leaves behind.
int ThreadsOfThisProcess();

// How many handles the process holds.
DWORD ProcessHandleCount();

struct ResourceUsage {
  DWORD handles = 0;
  SIZE_T privateBytes = 0;  // the commit charge
};

ResourceUsage MeasureUsage();

// "handles +1, private bytes +12 KiB"
std::string DescribeGrowth(const ResourceUsage& before, const ResourceUsage& after);

}  // namespace zx::test
