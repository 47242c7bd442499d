#pragma once
// Closes every dialog a thread shows, for tests that call a modal picker
// with hostile arguments: without someone to close it the call would never
// return.
#include <windows.h>

#include <atomic>
#include <thread>

namespace zx::test {

class DialogCloser {
 public:
  // Watches the windows of the calling thread.
  DialogCloser();
  ~DialogCloser();
  DialogCloser(const DialogCloser&) = delete;
  DialogCloser& operator=(const DialogCloser&) = delete;

 private:
  void Watch();
  static BOOL CALLBACK CloseIfShown(HWND window, LPARAM);

  const DWORD m_threadId;
  std::atomic<bool> m_stop{false};
  std::thread m_thread;
};

}  // namespace zx::test
