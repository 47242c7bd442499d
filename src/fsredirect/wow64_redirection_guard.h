#pragma once
// Wow64RedirectionGuard: while it lives, WOW64 file-system redirection is
// off for the calling thread, so a 32-bit process on 64-bit Windows lists
// the real system folder. It does nothing in a 64-bit process (which sees
// the real folder anyway), on 32-bit Windows, or where the kernel lacks the
// WOW64 functions. Create and destroy it on one thread.
#include <windows.h>

namespace zx {

// What a guard did when it was made.
enum class RedirectionOutcome {
  kSwitchedOff,     // redirection is off until the guard goes
  kNotUnderWow64,   // nothing to switch: a 64-bit process, or 32-bit Windows
  kNotSwitchable,   // under WOW64, but the kernel lacks the function
};

class Wow64RedirectionGuard {
 public:
  // Finds an exported function by name; the guard resolves each function
  // afresh at every use, never linking it statically.
  using ProcResolver = FARPROC (*)(const char* name);
  static FARPROC ResolveFromKernel32(const char* name);

  explicit Wow64RedirectionGuard(ProcResolver resolve = &ResolveFromKernel32);
  ~Wow64RedirectionGuard();
  Wow64RedirectionGuard(const Wow64RedirectionGuard&) = delete;
  Wow64RedirectionGuard& operator=(const Wow64RedirectionGuard&) = delete;

  RedirectionOutcome Outcome() const { return m_outcome; }

 private:
  ProcResolver m_resolve;
  RedirectionOutcome m_outcome = RedirectionOutcome::kNotUnderWow64;
  BOOL m_isWow64 = FALSE;
  PVOID m_savedState = nullptr;  // handed back by the disable call, passed to the revert
};

}  // namespace zx
