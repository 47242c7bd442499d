// Stress: many objects on many threads, objects destroyed while their I/O
// is outstanding, a service that dies with requests in flight. Every
// request ends as it must, no handler runs for an object or an exchange
// that is gone, nothing is left behind, and the module can unload.
#include <algorithm>
#include <atomic>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "support/page_test.h"

using namespace zx::test;

namespace {

constexpr size_t kObjects = 6;

class StressTest : public PageTest {
 protected:
  // Asynchronously json to the service, handled by handler. Under load the
  // service's listener falls behind now and then: for a moment it has no
  // free instance (0xE00D0005, 0xE00D0006), and a page tries again, here
  // once the pipe has one.
  bool StartExchange(RequestDriver& request, RecordingHandler& handler, const std::wstring& json) {
    HRESULT hr;
    for (int attempt = 0; (hr = request.OpenService(service.Segment())) != S_OK && attempt < 20;
         ++attempt) {
      if (hr != Code(0xE00D0005) && hr != Code(0xE00D0006)) break;
      ++retries;
      WaitNamedPipeW((L"\\\\.\\pipe\\" + service.Segment()).c_str(), kPatienceMs);
    }
    if (hr == S_OK) {
      request->put_onreadystatechange(&handler);
      hr = request.Send(json);
    }
    if (hr != S_OK) Problem("open and send: " + std::to_string(hr));
    return hr == S_OK;
  }

  std::atomic<long> retries{0};
};

// Each object chains its requests from its own handler, as a page that
// polls a service does, on a thread of its own (apartment, objects and
// messages); each reply must echo the object's own request whole. Every
// reply spans several reads, so that a read may finish before the worker
// that started it has returned and the next completion go to another. Each
// thread has one callback window, gone with the thread.
TEST_F(StressTest, SeveralObjectsOnSeveralThreadsCompleteThousandsOfRequests) {
  constexpr int kThreads = 4, kObjectsPerThread = 3, kReplySize = 10000;
  const LONG length = Scaled(100);
  ASSERT_TRUE(service.Restart(L"--size " + std::to_wstring(kReplySize)));
  struct Chain {
    std::wstring Json(LONG n) const { return L"\"" + tag + L"-" + std::to_wstring(n) + L"\""; }
    RecordingHandler complete;  // outlives the object
    RequestDriver request;
    std::wstring tag;
  };
  std::vector<HWND> windows(kThreads);
  const auto runThread = [&](int t) {
    CoInitialize(nullptr);
    std::vector<std::unique_ptr<Chain>> chains;
    for (int o = 0; o < kObjectsPerThread; ++o) {
      chains.push_back(
          std::make_unique<Chain>(Chain{{}, NewRequest(), std::to_wstring(t * 10 + o)}));
      Chain& c = *chains.back();
      c.complete.onCall = [&] {
        const std::wstring echo = service.EchoOf(c.Json(c.complete.calls - 1));
        if (c.request.ResponseText() != RepeatedTo(echo, kReplySize)) {
          Problem("a reply that is not its own, or not whole");
        } else if (c.complete.calls < length) {
          StartExchange(c.request, c.complete, c.Json(c.complete.calls));
        }
      };
      StartExchange(c.request, c.complete, c.Json(0));
    }
    const auto allDone = [&] {
      return std::all_of(chains.begin(), chains.end(),
                         [&](const auto& c) { return c->complete.calls >= length; });
    };
    if (!PumpMessagesUntil(allDone, 10000 + length * 200)) Problem("requests still running");
    for (auto& c : chains) {
      c->request.Reset();
      if (c->complete.refs != 1) Problem("a handler reference left behind");
    }
    const std::vector<HWND> mine = CallbackWindowsOf(GetCurrentThreadId());
    windows[t] = mine.size() == 1 ? mine[0] : nullptr;
    CoUninitialize();
  };
  const std::string figure = "stress, threads, " +
                             std::to_string(kThreads * kObjectsPerThread * length) +
                             " chained requests";
  MeasureRounds(1, 1, figure, [&](int) {
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) threads.emplace_back(runThread, t);
    for (std::thread& thread : threads) thread.join();
  });
  ReportFigure("stress, threads: opens retried while the service had no free instance: " +
               std::to_string(retries));
  EXPECT_EQ(std::set<HWND>(windows.begin(), windows.end()).size(), size_t{kThreads});
  for (HWND window : windows) EXPECT_TRUE(window && !IsWindow(window)) << "gone with its thread";
}

// Destroyed right after send, while the reply length is awaited, and while
// the body is being read (readyState 3). A fresh service now and then: each
// abandoned request holds one of its connections, and a thread, until its
// reply is due.
TEST_F(StressTest, ObjectsDestroyedWithIoOutstandingLeaveNothingBehind) {
  using Requests = std::vector<RequestDriver>;
  const struct {
    const char* name;
    const wchar_t* options;
    std::function<bool(Requests&, size_t loggedBefore)> outstanding;
  } phases[] = {
      {"just sent", L"--delay 3000", [](Requests&, size_t) { return true; }},
      {"awaiting the reply length", L"--delay 3000",
       [&](Requests&, size_t before) {
         return PollUntil([&] { return service.Logged().size() >= before + kObjects; });
       }},
      {"reading the reply body", L"--size 20000 --drip 1000 100",
       [](Requests& requests, size_t) {
         return PollUntil([&] {
           return std::all_of(requests.begin(), requests.end(),
                              [](RequestDriver& request) { return request.ReadyState() == 3; });
         });
       }},
  };
  for (const auto& phase : phases) {
    SCOPED_TRACE(phase.name);
    const std::string figure = std::string("stress, destroyed ") + phase.name + ", " +
                               std::to_string(kObjects) + " objects";
    MeasureRounds(1, Scaled(16), figure, [&](int round) {
      if (round % 16 == 0) ASSERT_TRUE(service.Restart(phase.options));
      const size_t loggedBefore = service.Logged().size();
      Requests requests;
      for (size_t i = 0; i < kObjects; ++i) {
        requests.push_back(NewRequest());
        ASSERT_TRUE(StartExchange(requests.back(), complete, L"1"));
      }
      ASSERT_TRUE(phase.outstanding(requests, loggedBefore));
      requests.clear();
      PumpPendingMessages();
    });
  }
  EXPECT_EQ(complete.calls + lost.calls, 0);
}

// Each object then completes an exchange with the restarted service.
TEST_F(StressTest, ServiceKilledWithRequestsInFlightEndsThemAndTheObjectsRecover) {
  std::vector<RequestDriver> requests;
  for (size_t i = 0; i < kObjects; ++i) requests.push_back(NewRequest());
  MeasureRounds(
      1, Scaled(5), "stress, service killed, " + std::to_string(kObjects) + " requests in flight",
      [&](int) {
        ASSERT_TRUE(service.Restart(L"--delay 30000"));  // holds every reply back
        const size_t loggedBefore = service.Logged().size();
        const LONG lostBefore = lost.calls, completeBefore = complete.calls;
        for (RequestDriver& request : requests) ASSERT_TRUE(StartExchange(request, complete, L"1"));
        ASSERT_TRUE(PollUntil([&] { return service.Logged().size() >= loggedBefore + kObjects; }));
        service.Kill();
        ASSERT_TRUE(PumpMessagesUntil([&] { return lost.calls - lostBefore >= LONG{kObjects}; }));
        ASSERT_TRUE(service.Restart(L""));
        for (RequestDriver& request : requests) {
          EXPECT_EQ(request.ReadyState(), 5);
          EXPECT_EQ(request.ResponseText(), L"");
          const LONG before = complete.calls;
          ASSERT_TRUE(StartExchange(request, complete, L"5"));
          ASSERT_TRUE(PumpMessagesUntil([&] { return complete.calls > before; }));
          EXPECT_EQ(request.ResponseText(), service.EchoOf(L"5"));
        }
        EXPECT_EQ(complete.calls - completeBefore, LONG{kObjects});
        EXPECT_EQ(lost.calls - lostBefore, LONG{kObjects});
      });
  requests.clear();
}

}  // namespace
