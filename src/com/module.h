#pragma once
// The process-wide module object of the COM server: lock count, the locks
// shared by all objects, and the list of clean-ups run at unload.
#include <windows.h>

#include <functional>
#include <vector>

#include "common/win_resources.h"

namespace zx {

class Module {
 public:
  static Module& Instance();

  void Attach(HINSTANCE instance) noexcept { m_instance = instance; }
  // Process detach: runs the termination list, last added first. When the
  // whole process is exiting the list is skipped: other modules may already
  // be gone, and the process's end frees what the list would.
  void Detach(bool processExiting) noexcept;

  HINSTANCE Handle() const noexcept { return m_instance; }

  // Objects alive + factory references held by clients + LockServer locks.
  LONG Lock() noexcept { return InterlockedIncrement(&m_lockCount); }
  LONG Unlock() noexcept { return InterlockedDecrement(&m_lockCount); }
  LONG LockCount() const noexcept { return m_lockCount; }

  // Serializes the loading of type descriptions and the termination list;
  // taken for short, non-reentrant sections only.
  CriticalSection& ModuleLock() noexcept { return m_moduleLock; }
  // Serializes the creation of class factories.
  CriticalSection& ClassTableLock() noexcept { return m_classTableLock; }

  // Takes the module lock (the caller may hold it already). False when
  // there was no memory for the entry.
  bool AddTermination(std::function<void()> cleanup) noexcept;

 private:
  Module() = default;

  HINSTANCE m_instance = nullptr;
  volatile LONG m_lockCount = 0;
  CriticalSection m_moduleLock;
  CriticalSection m_classTableLock;
  std::vector<std::function<void()>> m_terminations;
};

}  // namespace zx
