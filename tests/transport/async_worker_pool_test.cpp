// The workers' machinery on its own: every worker of the pool is stopped
// and waited for, also past the 64 handles one wait can take; a handler
// they cannot post is never released on a worker.
#include <windows.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include <thread>

#include "harness/recording_handler.h"
#include "request/callback_window.h"
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

// The page's window is gone, so the post fails: the worker keeps the
// reference for the page's thread, which drops it later.
TEST(CallbackPost, HandlerThatCannotBePostedIsReleasedOnlyOnItsOwnThread) {
  HWND gone = CreateWindowExW(0, L"STATIC", nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                              nullptr);
  ASSERT_TRUE(gone && DestroyWindow(gone));
  zx::test::RecordingHandler handler;
  const DWORD pageThread = GetCurrentThreadId();
  bool posted = true;
  std::thread([&] {
    posted =
        zx::PostScriptCallback(pageThread, gone, Microsoft::WRL::ComPtr<IDispatch>(&handler), 4);
  }).join();
  EXPECT_FALSE(posted);
  EXPECT_EQ(handler.refs, 2);
  zx::CallbackWindowRegistry::Instance().DropKept();
  EXPECT_EQ(handler.refs, 1);
  EXPECT_EQ(handler.calls, 0);
}

}  // namespace
