#pragma once
// WindowObject: one window handle bound to one C++ object, so that every
// message of the window reaches the object's message map before anything
// else; what the map leaves goes on to the previous window procedure.
//
// The handle finds its object through a window property that holds the
// object's address. It is set before the first routed message and removed
// with WM_NCDESTROY (or by the object's destructor), so no executable stub
// is ever allocated and a window that outlives its object stops routing to
// it instead of jumping into freed memory.
#include <windows.h>

namespace zx {

class WindowObject {
 public:
  WindowObject() = default;
  WindowObject(const WindowObject&) = delete;
  WindowObject& operator=(const WindowObject&) = delete;
  virtual ~WindowObject();

  // Null while detached.
  HWND Handle() const { return m_hWnd; }

  // Routes an existing window's messages through this object. FALSE when the
  // object is attached already, the window is bound to another object, or
  // its procedure cannot be replaced.
  BOOL Subclass(HWND window);

 protected:
  // The message map: returns true when it handled the message and set result.
  virtual bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) = 0;
  // Runs once after the window's last message; the object is detached then.
  virtual void AfterFinalMessage(HWND window);

  // What the previous window procedure answers (DefWindowProcW unless the
  // object subclassed a control).
  LRESULT DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam);

  // Building blocks of a dispatch, shared with the dialog procedure.
  bool Bind(HWND window);
  static WindowObject* FromHandle(HWND window);
  const MSG* EnterDispatch(const MSG& message);
  void NoteFinalMessage();
  // Restores the outer message; after the outermost dispatch of a destroyed
  // window detaches and calls AfterFinalMessage, so the caller must not touch
  // the object afterwards.
  void LeaveDispatch(const MSG* outer);

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT DispatchWindowMessage(const MSG& message);
  LRESULT PassOnFinalMessage(const MSG& message);

  HWND m_hWnd = nullptr;
  const MSG* m_currentMessage = nullptr;
  DWORD m_state = 0;
  WNDPROC m_previousProc = DefWindowProcW;
};

}  // namespace zx
