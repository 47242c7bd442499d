// The completion port's worker pool on its own: every worker is stopped and
// waited for, also past the 64 handles one wait can take.
#include <windows.h>

#include <gtest/gtest.h>

#include "transport/pipe_io_context.h"
#include "transport/worker_pool.h"

namespace {

struct Workers {
  zx::WorkerPool pool;
  volatile LONG ended = 0;
};

DWORD WINAPI RunUntilStopped(void* parameter) {
  auto* workers = static_cast<Workers*>(parameter);
  DWORD bytes = 0;
  ULONG_PTR key = 0;
  OVERLAPPED* overlapped = nullptr;
  while (GetQueuedCompletionStatus(workers->pool.Port(), &bytes, &key, &overlapped, INFINITE) &&
         key != zx::kKeyStop) {
  }
  InterlockedIncrement(&workers->ended);
  return 0;
}

TEST(AsyncWorkerPool, StopEndsEveryWorkerWhateverTheCount) {
  for (DWORD count : {1u, 64u, 65u, 130u}) {
    SCOPED_TRACE(count);
    Workers workers;
    ASSERT_EQ(workers.pool.Start(count, RunUntilStopped, &workers), S_OK);
    EXPECT_EQ(workers.pool.Stop(), S_OK);
    EXPECT_EQ(workers.ended, static_cast<LONG>(count));
    EXPECT_EQ(workers.pool.Stop(), S_OK);  // nothing left to stop
  }
}

}  // namespace
