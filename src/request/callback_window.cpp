#include "request/callback_window.h"

#include <new>
#include <type_traits>
#include <utility>

#include "com/module.h"

namespace zx {
namespace {

LRESULT CALLBACK CallbackWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INVOKE_SCRIPT_CALLBACK && wParam) {
    auto* handler = reinterpret_cast<IDispatch*>(wParam);
    InvokeScriptHandler(handler);
    handler->Release();  // the reference the message carried
    CallbackWindowRegistry::Instance().DropKept();
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

void InvokeScriptHandler(IDispatch* handler) noexcept {
  DISPPARAMS noArguments = {nullptr, nullptr, 0, 0};
  UniqueVariant result;
  handler->Invoke(DISPID_VALUE, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &noArguments,
                  result.Put(), nullptr, nullptr);
}

CallbackWindowRegistry& CallbackWindowRegistry::Instance() {
  static CallbackWindowRegistry registry;
  return registry;
}

// Without memory for the termination entry the windows stay until their
// threads end, as they would without this module.
CallbackWindowRegistry::CallbackWindowRegistry() {
  Module::Instance().AddTermination([this] { DestroyWindows(); });
}

DWORD CallbackWindowRegistry::EnsureWindowClass() noexcept {
  if (m_classRegistered) return 0;
  CriticalSectionGuard guard(m_lock);
  if (m_classRegistered) return 0;
  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = CallbackWindowProc;
  windowClass.hInstance = Module::Instance().Handle();
  windowClass.lpszClassName = kCallbackWindowClass;
  if (!RegisterClassW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    return GetLastError();
  }
  m_classRegistered = true;
  return 0;
}

DWORD CallbackWindowRegistry::EnsureThreadWindow() noexcept {
  DropKept();
  EnsureWindowClass();  // without the class, creating the window reports why
  const DWORD threadId = GetCurrentThreadId();
  if (LiveWindowOf(threadId)) return 0;
  HWND window = CreateWindowExW(0, kCallbackWindowClass, nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE,
                                nullptr, Module::Instance().Handle(), nullptr);
  if (!window) return GetLastError();
  return Remember(threadId, window);
}

// A window whose thread has ended went with it; a new thread that was given
// the same id then needs a window of its own.
HWND CallbackWindowRegistry::LiveWindowOf(DWORD threadId) noexcept {
  HWND window = FindThreadWindow(threadId);
  return window && IsWindow(window) ? window : nullptr;
}

DWORD CallbackWindowRegistry::Remember(DWORD threadId, HWND window) noexcept {
  try {
    CriticalSectionGuard guard(m_lock);
    m_windows[threadId] = window;
    return 0;
  } catch (const std::bad_alloc&) {
    DestroyWindow(window);
    return ERROR_NOT_ENOUGH_MEMORY;
  }
}

// Moved, never copied: on a worker not even a reference count may change.
// Without memory to keep it the reference is leaked rather than released.
static_assert(std::is_nothrow_move_constructible_v<Microsoft::WRL::ComPtr<IDispatch>>,
              "growing the vector must not copy references");
void CallbackWindowRegistry::Keep(DWORD threadId,
                                  Microsoft::WRL::ComPtr<IDispatch> handler) noexcept {
  try {
    CriticalSectionGuard guard(m_lock);
    m_kept[threadId].push_back(std::move(handler));
  } catch (const std::bad_alloc&) {
    handler.Detach();
  }
}

void CallbackWindowRegistry::DropKept() noexcept {
  std::vector<Microsoft::WRL::ComPtr<IDispatch>> kept;
  {
    CriticalSectionGuard guard(m_lock);
    auto found = m_kept.find(GetCurrentThreadId());
    if (found == m_kept.end()) return;
    kept.swap(found->second);
    m_kept.erase(found);
  }
}  // released here, outside the lock

HWND CallbackWindowRegistry::FindThreadWindow(DWORD threadId) noexcept {
  CriticalSectionGuard guard(m_lock);
  auto found = m_windows.find(threadId);
  return found == m_windows.end() ? nullptr : found->second;
}

// Only a window of the unloading thread can be destroyed here; the others
// went when their threads ended, or keep the class registered (the
// unregistering then fails, harmlessly).
void CallbackWindowRegistry::DestroyWindows() noexcept {
  DropKept();
  CriticalSectionGuard guard(m_lock);
  // Kept for other threads, which may be gone: leaked, as a release here
  // would run on the wrong thread.
  for (auto& entry : m_kept) {
    for (auto& handler : entry.second) handler.Detach();
  }
  m_kept.clear();
  for (const auto& entry : m_windows) {
    if (IsWindow(entry.second)) DestroyWindow(entry.second);
  }
  m_windows.clear();
  if (m_classRegistered && UnregisterClassW(kCallbackWindowClass, Module::Instance().Handle())) {
    m_classRegistered = false;
  }
}

bool PostScriptCallback(DWORD threadId, HWND window, Microsoft::WRL::ComPtr<IDispatch> handler,
                        LONG state) noexcept {
  if (!PostMessageW(window, WM_INVOKE_SCRIPT_CALLBACK, reinterpret_cast<WPARAM>(handler.Get()),
                    state)) {
    CallbackWindowRegistry::Instance().Keep(threadId, std::move(handler));
    return false;
  }
  handler.Detach();  // now owned by the message
  return true;
}

}  // namespace zx
