#pragma once
// Threads that serve connected pipe instances. A connection goes to an idle
// thread, or to a new one when all are busy, so slow replies never hold up
// other clients; threads are kept for the next connections because creating
// one per connection would cost more than a short exchange itself.
#include <windows.h>

#include <functional>
#include <vector>

#include "common/win_resources.h"

namespace zxsample {

class ConnectionPool {
 public:
  using Handler = std::function<void(zx::UniqueHandle pipe)>;

  explicit ConnectionPool(Handler handler);
  // Ends and joins the threads; the caller has seen every connection end.
  ~ConnectionPool();
  ConnectionPool(const ConnectionPool&) = delete;
  ConnectionPool& operator=(const ConnectionPool&) = delete;

  // Takes the pipe and hands it to a thread. False, leaving the pipe to the
  // caller, when no thread could take it.
  bool Dispatch(zx::UniqueHandle& pipe);

 private:
  static DWORD WINAPI WorkerThread(void* parameter);
  void Work();
  // Starts one more thread; m_lock must be held.
  bool AddWorker();

  Handler m_handler;
  zx::UniqueHandle m_queue;  // a completion port used as the queue of pipes

  zx::CriticalSection m_lock;  // guards the two members below
  size_t m_idleWorkers = 0;    // threads that will take the next pipe without waiting
  std::vector<zx::UniqueHandle> m_workers;
};

}  // namespace zxsample
