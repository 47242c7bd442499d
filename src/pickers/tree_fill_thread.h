#pragma once
// The thread that fills the scan-path tree while the dialog is already on
// screen. It is always joined, never killed: stopping asks the fill to end
// after its current item and waits for it, so the thread never outlives the
// tree control or the tree object.
#include <windows.h>

#include "common/win_resources.h"

namespace zx {

class ShellCheckTree;

class TreeFillThread {
 public:
  TreeFillThread() = default;
  TreeFillThread(const TreeFillThread&) = delete;
  TreeFillThread& operator=(const TreeFillThread&) = delete;
  ~TreeFillThread() { StopAndJoin(); }

  // Starts filling tree. Without a thread the tree stays empty.
  void Start(ShellCheckTree& tree);
  // Returns once the thread has ended. Call it on the thread that owns the
  // tree control: the messages the fill sends there are served meanwhile.
  void StopAndJoin();

 private:
  static DWORD WINAPI Run(void* tree);

  ShellCheckTree* m_tree = nullptr;
  UniqueHandle m_thread;
};

}  // namespace zx
