#include "reliability/watchdog.h"

#include <cstdio>

namespace zx::test {

Watchdog::Watchdog(DWORD timeoutMs)
    : m_timeoutMs(timeoutMs),
      m_step("start"),
      m_stepped(CreateEventW(nullptr, FALSE, FALSE, nullptr)),
      m_stop(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      m_thread(&Watchdog::Watch, this) {}

Watchdog::~Watchdog() {
  SetEvent(m_stop.Get());
  m_thread.join();
}

void Watchdog::Step(const std::string& name) {
  {
    CriticalSectionGuard guard(m_lock);
    m_step = name;
  }
  SetEvent(m_stepped.Get());
}

void Watchdog::Watch() {
  HANDLE events[] = {m_stop.Get(), m_stepped.Get()};
  for (;;) {
    const DWORD woken = WaitForMultipleObjects(2, events, FALSE, m_timeoutMs);
    if (woken == WAIT_OBJECT_0 + 1) continue;
    if (woken != WAIT_TIMEOUT) return;
    CriticalSectionGuard guard(m_lock);
    std::fprintf(stderr, "watchdog: \"%s\" did not finish within %lu ms\n", m_step.c_str(),
                 m_timeoutMs);
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), 3);
  }
}

}  // namespace zx::test
