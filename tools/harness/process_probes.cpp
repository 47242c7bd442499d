#include "harness/process_probes.h"

namespace zx::test {

std::vector<HWND> CallbackWindowsOf(DWORD threadId) {
  std::vector<HWND> windows;
  HWND window = nullptr;
  while ((window = FindWindowExW(HWND_MESSAGE, window, L"ZevXMLHttpRequestClass", nullptr))) {
    if (GetWindowThreadProcessId(window, nullptr) == threadId) windows.push_back(window);
  }
  return windows;
}

// GetProcessHandleCount answers 0 under Wine, so the handle table is probed
// instead: handle values are multiples of 4.
DWORD ProcessHandleCount() {
  constexpr ULONG_PTR kHighestProbed = 0x10000;
  DWORD count = 0;
  for (ULONG_PTR value = 4; value < kHighestProbed; value += 4) {
    DWORD flags = 0;
    if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++count;
  }
  return count;
}

}  // namespace zx::test
