// A handler the workers cannot post to the page's thread is never released
// on a worker.
#include <windows.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include <thread>

#include "harness/recording_handler.h"
#include "request/callback_window.h"

namespace {

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
