#include "harness/dialog_closer.h"

namespace zx::test {
namespace {

constexpr DWORD kLookEveryMs = 20;

// Closing a dialog is its Cancel; hidden windows (the callback window, a
// dialog still being set up) are left alone.
BOOL CALLBACK CloseIfShown(HWND window, LPARAM) {
  if (IsWindowVisible(window)) PostMessageW(window, WM_CLOSE, 0, 0);
  return TRUE;
}

}  // namespace

DialogCloser::DialogCloser()
    : m_threadId(GetCurrentThreadId()), m_thread(&DialogCloser::Watch, this) {}

DialogCloser::~DialogCloser() {
  m_stop = true;
  m_thread.join();
}

// A dialog shows whenever the picker gets to it: looked for now and then.
void DialogCloser::Watch() {
  while (!m_stop) {
    EnumThreadWindows(m_threadId, CloseIfShown, 0);
    Sleep(kLookEveryMs);
  }
}

}  // namespace zx::test
