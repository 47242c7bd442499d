#pragma once
// What a test can see of the process from inside: its callback windows and
// how many handles it holds.
#include <windows.h>

#include <vector>

namespace zx::test {

// The hidden callback windows that belong to a thread.
std::vector<HWND> CallbackWindowsOf(DWORD threadId);

// How many handles the process holds.
DWORD ProcessHandleCount();

}  // namespace zx::test
