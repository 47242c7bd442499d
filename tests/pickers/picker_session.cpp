#include "picker_session.h"

#include <atomic>
#include <thread>

#include "picker_windows.h"

namespace zx::test {
namespace {

// What is left of a picker once the user is done gets cancelled.
void CancelLeftoverDialogs(const std::atomic<bool>& callEnded) {
  while (!callEnded) {
    if (WaitUntil([&] { return callEnded.load(); }, 3000)) return;
    for (const HWND dialog :
         {FindScanPathDialog(GetCurrentProcessId()), FindBrowseDialog(GetCurrentProcessId())}) {
      if (dialog) PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    }
  }
}

}  // namespace

void RunWithUser(const std::function<void()>& call, const std::function<void()>& user) {
  std::atomic<bool> callEnded{false};
  std::thread person([&] {
    user();
    CancelLeftoverDialogs(callEnded);
  });
  call();
  callEnded = true;
  person.join();
}

double NowMs() {
  LARGE_INTEGER frequency, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&now);
  return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace zx::test
