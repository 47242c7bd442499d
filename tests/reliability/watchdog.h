#pragma once
// A deadline for steps that block the test's thread (a synchronous send
// waits as long as the service lets it): if a step is not finished in time
// the program ends with a message naming it, so a hang fails the run
// instead of stalling it.
#include <windows.h>

#include <string>
#include <thread>

#include "common/win_resources.h"

namespace zx::test {

class Watchdog {
 public:
  explicit Watchdog(DWORD timeoutMs);
  // Disarms the watchdog.
  ~Watchdog();
  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;

  // Starts the deadline of the next step.
  void Step(const std::string& name);

 private:
  void Watch();

  const DWORD m_timeoutMs;
  CriticalSection m_lock;  // guards m_step
  std::string m_step;
  UniqueHandle m_stepped;  // auto-reset: a step began
  UniqueHandle m_stop;
  std::thread m_thread;
};

}  // namespace zx::test
