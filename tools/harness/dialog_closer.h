#pragma once
// Cancels every dialog a thread shows, for a test that calls a modal picker
// only for what the call returns: without someone to close the dialog the
// call would never return.
#include <windows.h>

#include <atomic>
#include <thread>

namespace zx::test {

class DialogCloser {
 public:
  // Watches the windows of the calling thread until destroyed.
  DialogCloser();
  ~DialogCloser();
  DialogCloser(const DialogCloser&) = delete;
  DialogCloser& operator=(const DialogCloser&) = delete;

 private:
  void Watch();

  const DWORD m_threadId;
  std::atomic<bool> m_stop{false};
  std::thread m_thread;
};

}  // namespace zx::test
