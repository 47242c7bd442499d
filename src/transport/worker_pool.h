#pragma once
// A completion port and the worker threads waiting on it.
#include <windows.h>

#include <vector>

#include "common/win_resources.h"

namespace zx {

class WorkerPool {
 public:
  WorkerPool() = default;
  ~WorkerPool() { Stop(); }
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  // Creates the port, with a concurrency of count, and count threads running
  // routine(parameter). Returns 0, kCreateCompletionPortFailed (no port) or kCreateWorkerFailed (a
  // thread not created; the pool is then empty again).
  HRESULT Start(DWORD count, LPTHREAD_START_ROUTINE routine, void* parameter) noexcept;
  // Posts one kKeyStop packet per worker and waits for all of them; the
  // port stays open for what is still queued. Returns 0, kPostStopPacketFailed or
  // kWaitForWorkersFailed; either way no worker runs afterwards.
  HRESULT Stop() noexcept;
  // Closes the port once the workers are stopped.
  void ClosePort() noexcept { m_port.Reset(); }

  HANDLE Port() const noexcept { return m_port.Get(); }

  static DWORD ProcessorCount() noexcept;

 private:
  HRESULT StartThreads(DWORD count, LPTHREAD_START_ROUTINE routine, void* parameter) noexcept;
  bool PostStopPackets() noexcept;
  bool WaitForWorkers() noexcept;

  UniqueHandle m_port;
  // Touched only by Start and Stop, which the owner never runs at the same
  // time and the workers never run, so no lock guards it.
  std::vector<UniqueHandle> m_workers;
};

}  // namespace zx
