#pragma once
// Waiting in a test for something another thread or a posted message does,
// with a deadline, so that a handler that never comes fails the test
// instead of hanging it.
#include <windows.h>

#include <functional>

namespace zx::test {

inline constexpr DWORD kPatienceMs = 15000;

// Dispatches this thread's messages until done() holds or timeoutMs passed;
// returns done().
bool PumpMessagesUntil(const std::function<bool()>& done, DWORD timeoutMs = kPatienceMs);
// Dispatches what is queued now.
void PumpPendingMessages();
// Waits until done() holds or timeoutMs passed, dispatching nothing.
bool PollUntil(const std::function<bool()>& done, DWORD timeoutMs = kPatienceMs);

}  // namespace zx::test
