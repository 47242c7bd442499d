#include "pickers/tree_fill_thread.h"

#include <objbase.h>

#include "pickers/shell_check_tree.h"

namespace zx {
namespace {

// Waits for the handle while running the messages other threads send to
// this one (the fill's TVM_ messages), leaving posted input in the queue.
void WaitServingSentMessages(HANDLE handle) {
  for (;;) {
    const DWORD woken = MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, QS_SENDMESSAGE);
    if (woken != WAIT_OBJECT_0 + 1) return;  // ended, or the wait itself failed
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

}  // namespace

void TreeFillThread::Start(ShellCheckTree& tree) {
  StopAndJoin();
  m_tree = &tree;
  m_thread.Reset(CreateThread(nullptr, 0, &Run, &tree, 0, nullptr));
}

void TreeFillThread::StopAndJoin() {
  if (!m_thread) return;
  m_tree->StopFilling();
  WaitServingSentMessages(m_thread.Get());
  m_thread.Reset();
}

DWORD WINAPI TreeFillThread::Run(void* tree) {
  // The shell's folder objects need COM on this thread too.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  static_cast<ShellCheckTree*>(tree)->Fill();
  if (SUCCEEDED(com)) CoUninitialize();
  return 0;
}

}  // namespace zx
