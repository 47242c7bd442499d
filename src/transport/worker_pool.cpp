#include "transport/worker_pool.h"

#include <algorithm>
#include <new>

#include "protocol/result_codes.h"
#include "transport/pipe_io_context.h"

namespace zx {

DWORD WorkerPool::ProcessorCount() noexcept {
  SYSTEM_INFO info = {};
  GetSystemInfo(&info);
  return std::max<DWORD>(info.dwNumberOfProcessors, 1);
}

HRESULT WorkerPool::Start(DWORD count, LPTHREAD_START_ROUTINE routine, void* parameter) noexcept {
  m_port.Reset(CreateIoCompletionPort(INVALID_HANDLE_VALUE, nullptr, 0, count));
  if (!m_port) return result::kCreateCompletionPortFailed;
  const HRESULT hr = StartThreads(count, routine, parameter);
  if (hr != S_OK) {
    Stop();
    ClosePort();
  }
  return hr;
}

HRESULT WorkerPool::StartThreads(DWORD count, LPTHREAD_START_ROUTINE routine,
                                 void* parameter) noexcept {
  try {
    m_workers.reserve(count);
  } catch (const std::bad_alloc&) {
    return result::kCreateWorkerFailed;
  }
  for (DWORD i = 0; i < count; ++i) {
    UniqueHandle thread(CreateThread(nullptr, 0, routine, parameter, 0, nullptr));
    if (!thread) return result::kCreateWorkerFailed;
    m_workers.push_back(std::move(thread));  // within the reserved capacity
  }
  return S_OK;
}

// A stop packet that cannot be posted means the port is unusable; closing it
// wakes every worker with a failed dequeue, which ends it, so the wait that
// follows still returns and no worker outlives the pool.
HRESULT WorkerPool::Stop() noexcept {
  if (m_workers.empty()) return S_OK;
  const bool posted = PostStopPackets();
  if (!posted) ClosePort();
  const bool waited = WaitForWorkers();
  m_workers.clear();
  if (!posted) return result::kPostStopPacketFailed;
  return waited ? S_OK : result::kWaitForWorkersFailed;
}

bool WorkerPool::PostStopPackets() noexcept {
  for (size_t i = 0; i < m_workers.size(); ++i) {
    if (!PostQueuedCompletionStatus(m_port.Get(), 0, kKeyStop, nullptr)) return false;
  }
  return true;
}

// One wait takes at most MAXIMUM_WAIT_OBJECTS handles: larger pools are
// waited for in groups.
bool WorkerPool::WaitForWorkers() noexcept {
  HANDLE group[MAXIMUM_WAIT_OBJECTS];
  bool waited = true;
  for (size_t first = 0; first < m_workers.size(); first += MAXIMUM_WAIT_OBJECTS) {
    const size_t count = std::min<size_t>(MAXIMUM_WAIT_OBJECTS, m_workers.size() - first);
    for (size_t i = 0; i < count; ++i) group[i] = m_workers[first + i].Get();
    if (WaitForMultipleObjects(static_cast<DWORD>(count), group, TRUE, INFINITE) == WAIT_FAILED) {
      waited = false;
    }
  }
  return waited;
}

}  // namespace zx
