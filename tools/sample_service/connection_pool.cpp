#include "connection_pool.h"

namespace zxsample {
namespace {

constexpr DWORD kWorkerStackBytes = 64 * 1024;
// The completion key that tells a thread to end; pipes are never null.
constexpr ULONG_PTR kEndKey = 0;

}  // namespace

ConnectionPool::ConnectionPool(Handler handler)
    : m_handler(std::move(handler)),
      m_queue(CreateIoCompletionPort(INVALID_HANDLE_VALUE, nullptr, 0, 0)) {}

ConnectionPool::~ConnectionPool() {
  for (size_t i = 0; i < m_workers.size(); ++i) {
    PostQueuedCompletionStatus(m_queue.Get(), 0, kEndKey, nullptr);
  }
  for (const zx::UniqueHandle& worker : m_workers) WaitForSingleObject(worker.Get(), INFINITE);
}

bool ConnectionPool::Dispatch(zx::UniqueHandle& pipe) {
  if (!m_queue) return false;
  {
    zx::CriticalSectionGuard guard(m_lock);
    if (m_idleWorkers == 0 && !AddWorker()) return false;
    --m_idleWorkers;
  }
  if (!PostQueuedCompletionStatus(m_queue.Get(), 0, reinterpret_cast<ULONG_PTR>(pipe.Get()),
                                  nullptr)) {
    zx::CriticalSectionGuard guard(m_lock);
    ++m_idleWorkers;
    return false;
  }
  pipe.Detach();
  return true;
}

bool ConnectionPool::AddWorker() {
  HANDLE worker = CreateThread(nullptr, kWorkerStackBytes, WorkerThread, this,
                               STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
  if (!worker) return false;
  m_workers.emplace_back(worker);
  ++m_idleWorkers;
  return true;
}

DWORD WINAPI ConnectionPool::WorkerThread(void* parameter) {
  static_cast<ConnectionPool*>(parameter)->Work();
  return 0;
}

void ConnectionPool::Work() {
  for (;;) {
    DWORD unusedBytes = 0;
    ULONG_PTR key = kEndKey;
    OVERLAPPED* unusedOverlapped = nullptr;
    if (!GetQueuedCompletionStatus(m_queue.Get(), &unusedBytes, &key, &unusedOverlapped,
                                   INFINITE) ||
        key == kEndKey) {
      return;
    }
    m_handler(zx::UniqueHandle(reinterpret_cast<HANDLE>(key)));
    zx::CriticalSectionGuard guard(m_lock);
    ++m_idleWorkers;
  }
}

}  // namespace zxsample
