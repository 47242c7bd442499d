#pragma once
// The process-wide module object of the COM server: lock count, the locks
// shared by all objects, and the list of clean-ups run at unload.
#include <windows.h>

#include <functional>

namespace zx {

class Module {
 public:
  static Module& Instance();

  void Attach(HINSTANCE instance);
  // Runs the termination list; called at process detach.
  void Detach();

  HINSTANCE Handle() const { return m_instance; }

  // Objects alive + factory references held by clients + LockServer locks.
  LONG Lock() { return InterlockedIncrement(&m_lockCount); }
  LONG Unlock() { return InterlockedDecrement(&m_lockCount); }
  LONG LockCount() const { return m_lockCount; }

  // Serializes the loading of type descriptions and the list of windows
  // being created; taken for short, non-reentrant sections only.
  CRITICAL_SECTION& ModuleLock() { return m_moduleLock; }
  // Serializes the creation of class factories.
  CRITICAL_SECTION& ClassTableLock() { return m_classTableLock; }

  // Caller holds the module lock. False when there was no memory for it.
  bool AddTermination(std::function<void()> cleanup) noexcept;

 private:
  Module();
  ~Module();

  HINSTANCE m_instance = nullptr;
  volatile LONG m_lockCount = 0;
  CRITICAL_SECTION m_moduleLock;
  CRITICAL_SECTION m_classTableLock;
  struct Termination;
  Termination* m_terminations = nullptr;  // last added runs first
};

}  // namespace zx
