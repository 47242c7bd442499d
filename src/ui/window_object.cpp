#include "ui/window_object.h"

namespace zx {
namespace {

constexpr wchar_t kObjectProperty[] = L"zx.WindowObject";
// The window received WM_NCDESTROY; detach when the outermost dispatch ends.
constexpr DWORD kFinalMessageSeen = 0x1;

LONG_PTR AsLongPtr(WNDPROC procedure) { return reinterpret_cast<LONG_PTR>(procedure); }

}  // namespace

WindowObject::~WindowObject() {
  if (!m_hWnd) return;
  // Destroyed before its window: hand the window back to its own procedure
  // where nobody subclassed it after us, and stop routing to this object.
  if (m_previousProc != DefWindowProcW &&
      GetWindowLongPtrW(m_hWnd, GWLP_WNDPROC) == AsLongPtr(&WindowProc)) {
    SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, AsLongPtr(m_previousProc));
  }
  RemovePropW(m_hWnd, kObjectProperty);
}

void WindowObject::AfterFinalMessage(HWND) {}

BOOL WindowObject::Subclass(HWND window) {
  if (m_hWnd || !IsWindow(window) || FromHandle(window)) return FALSE;
  const auto current = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC));
  if (!current) return FALSE;
  // The window may belong to another thread that dispatches at any moment:
  // the object must be complete before the new procedure is installed.
  m_previousProc = current;
  if (Bind(window)) {
    const LONG_PTR replaced = SetWindowLongPtrW(window, GWLP_WNDPROC, AsLongPtr(&WindowProc));
    if (replaced) {
      m_previousProc = reinterpret_cast<WNDPROC>(replaced);
      return TRUE;
    }
    RemovePropW(window, kObjectProperty);
    m_hWnd = nullptr;
  }
  m_previousProc = DefWindowProcW;
  return FALSE;
}

LRESULT WindowObject::DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcW(m_previousProc, m_hWnd, message, wParam, lParam);
}

bool WindowObject::Bind(HWND window) {
  if (!SetPropW(window, kObjectProperty, this)) return false;
  m_hWnd = window;
  return true;
}

WindowObject* WindowObject::FromHandle(HWND window) {
  return static_cast<WindowObject*>(GetPropW(window, kObjectProperty));
}

const MSG* WindowObject::EnterDispatch(const MSG& message) {
  const MSG* outer = m_currentMessage;
  m_currentMessage = &message;
  return outer;
}

void WindowObject::NoteFinalMessage() {
  m_state |= kFinalMessageSeen;
  RemovePropW(m_hWnd, kObjectProperty);
}

void WindowObject::LeaveDispatch(const MSG* outer) {
  if (!(m_state & kFinalMessageSeen) || outer) {
    m_currentMessage = outer;
    return;
  }
  m_state &= ~kFinalMessageSeen;
  const HWND window = m_hWnd;
  m_hWnd = nullptr;
  m_currentMessage = nullptr;
  AfterFinalMessage(window);
}

LRESULT CALLBACK WindowObject::WindowProc(HWND window, UINT message, WPARAM wParam,
                                          LPARAM lParam) {
  WindowObject* object = FromHandle(window);
  if (!object) return DefWindowProcW(window, message, wParam, lParam);
  return object->DispatchWindowMessage(MSG{window, message, wParam, lParam, 0, {}});
}

LRESULT WindowObject::DispatchWindowMessage(const MSG& message) {
  const MSG* outer = EnterDispatch(message);
  LRESULT result = 0;
  if (!HandleMessage(message.message, message.wParam, message.lParam, result)) {
    result = message.message == WM_NCDESTROY
                 ? PassOnFinalMessage(message)
                 : DefaultHandling(message.message, message.wParam, message.lParam);
  }
  // Also when the map handled it: the window is gone either way.
  if (message.message == WM_NCDESTROY) NoteFinalMessage();
  LeaveDispatch(outer);
  return result;
}

LRESULT WindowObject::PassOnFinalMessage(const MSG& message) {
  const LONG_PTR noted = GetWindowLongPtrW(m_hWnd, GWLP_WNDPROC);
  const LRESULT result = DefaultHandling(message.message, message.wParam, message.lParam);
  // Unhook unless someone subclassed the window after us in the meantime.
  if (m_previousProc != DefWindowProcW && GetWindowLongPtrW(m_hWnd, GWLP_WNDPROC) == noted) {
    SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, AsLongPtr(m_previousProc));
  }
  return result;
}

}  // namespace zx
