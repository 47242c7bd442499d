#include "fsredirect/wow64_redirection_guard.h"

namespace zx {
namespace {

using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
using DisableRedirectionFn = BOOL(WINAPI*)(PVOID*);
using RevertRedirectionFn = BOOL(WINAPI*)(PVOID);

template <class Function>
Function Resolve(Wow64RedirectionGuard::ProcResolver resolve, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(resolve(name)));
}

}  // namespace

FARPROC Wow64RedirectionGuard::ResolveFromKernel32(const char* name) {
  const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  return kernel ? GetProcAddress(kernel, name) : nullptr;
}

Wow64RedirectionGuard::Wow64RedirectionGuard(ProcResolver resolve) : m_resolve(resolve) {
  if constexpr (sizeof(void*) == 8) return;  // a 64-bit process is never redirected
  const auto isWow64Process = Resolve<IsWow64ProcessFn>(m_resolve, "IsWow64Process");
  if (!isWow64Process) return;
  if (!isWow64Process(GetCurrentProcess(), &m_isWow64)) {
    m_isWow64 = FALSE;  // a failed query must not leave a half-written flag
    return;
  }
  if (!m_isWow64) return;
  m_outcome = RedirectionOutcome::kNotSwitchable;
  if (const auto disable =
          Resolve<DisableRedirectionFn>(m_resolve, "Wow64DisableWow64FsRedirection")) {
    if (disable(&m_savedState)) m_outcome = RedirectionOutcome::kSwitchedOff;
  }
}

Wow64RedirectionGuard::~Wow64RedirectionGuard() {
  if (!m_isWow64) return;
  if (const auto revert =
          Resolve<RevertRedirectionFn>(m_resolve, "Wow64RevertWow64FsRedirection")) {
    revert(m_savedState);
  }
}

}  // namespace zx
