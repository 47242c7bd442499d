#pragma once
// Brings script handler calls back to the script's thread: every thread that
// starts an asynchronous send gets a hidden message-only window; a worker
// posts the handler to it, and the window procedure invokes the handler when
// that thread's message loop dispatches the message.
#include <windows.h>
#include <wrl/client.h>

#include <atomic>
#include <map>
#include <vector>

#include "common/win_resources.h"

namespace zx {

inline constexpr wchar_t kCallbackWindowClass[] = L"ZevXMLHttpRequestClass";
// wParam: the handler, carrying one reference for the message; lParam: the
// readyState it reports (4 or 5), not passed on to the handler.
inline constexpr UINT WM_INVOKE_SCRIPT_CALLBACK = WM_USER + 200;

// Calls a script handler as a page expects: DISPID_VALUE, no arguments, the
// result ignored.
void InvokeScriptHandler(IDispatch* handler) noexcept;

class CallbackWindowRegistry {
 public:
  // The process-wide registry, created on first use; its windows go when the
  // module unloads.
  static CallbackWindowRegistry& Instance();

  // Makes sure the calling thread has its window, and drops the handler
  // references kept for it. Returns 0 or a Win32 error.
  DWORD EnsureThreadWindow() noexcept;
  // Keeps a handler reference for threadId, whose window could not take it:
  // a script object is released on its own thread, never on a worker.
  void Keep(DWORD threadId, Microsoft::WRL::ComPtr<IDispatch> handler) noexcept;
  // Releases, on the calling thread, the references kept for it.
  void DropKept() noexcept;
  // The window of the given thread, or null if it has none.
  HWND FindThreadWindow(DWORD threadId) noexcept;
  // Module unload: destroys the windows that still exist and unregisters the
  // class, so that a later load of the module registers its own procedure.
  void DestroyWindows() noexcept;

 private:
  CallbackWindowRegistry();
  ~CallbackWindowRegistry() = default;
  CallbackWindowRegistry(const CallbackWindowRegistry&) = delete;
  CallbackWindowRegistry& operator=(const CallbackWindowRegistry&) = delete;

  DWORD EnsureWindowClass() noexcept;
  HWND LiveWindowOf(DWORD threadId) noexcept;
  DWORD Remember(DWORD threadId, HWND window) noexcept;

  // Guards m_windows, m_kept and the changes of m_classRegistered. Never
  // held across CreateWindowExW, PostMessageW, a handler call or release.
  CriticalSection m_lock;
  std::map<DWORD, HWND> m_windows;
  // The references of a thread whose thread ends first are never released.
  std::map<DWORD, std::vector<Microsoft::WRL::ComPtr<IDispatch>>> m_kept;
  // Also read once without the lock as a fast path.
  std::atomic<bool> m_classRegistered{false};
};

// Posts handler to window, which belongs to threadId; the message takes over
// the reference. Returns false when the post fails: the reference is then
// kept for threadId, which drops it at its next message or send.
bool PostScriptCallback(DWORD threadId, HWND window, Microsoft::WRL::ComPtr<IDispatch> handler,
                        LONG state) noexcept;

}  // namespace zx
