// The request object in asynchronous mode against the sample service: the
// workers run each exchange, and its handler runs only when the thread that
// sent pumps its messages. How each kind of fault ends an exchange, and
// many objects on many threads, are tests/reliability's.
#include <windows.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "harness/message_pump.h"
#include "harness/process_probes.h"
#include "harness/recording_handler.h"
#include "harness/request_driver.h"
#include "harness/sample_service_process.h"
#include "harness/zxmlhttp_module.h"
#include "transport/endpoint_config.h"

using Microsoft::WRL::ComPtr;
using namespace zx::test;

namespace {

const wchar_t kJson[] = L"%7B%22a%22%3A1%7D";  // {"a":1}
const HRESULT kBusy = Code(0xE00D000D);

class AsyncRequest : public ::testing::Test {
 protected:
  void SetUp() override { CoInitialize(nullptr); }
  void TearDown() override {
    service.reset();
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, (zx::kDefaultSpRootKeyPath + segment).c_str());
    CoUninitialize();
  }

  RequestDriver NewRequest() {
    ComPtr<IZevXMLHttpRequest> request;
    EXPECT_EQ(module->Create(CLSID_ZevXMLHttpRequest, IID_IZevXMLHttpRequest, &request), S_OK);
    return RequestDriver(request);
  }
  // A service registered under this test's segment, answering as options say.
  void Serve(const std::wstring& options) {
    service =
        std::make_unique<SampleServiceProcess>(L"--segment " + segment + L" --pipe " + segment +
                                               L" --log \"" + log.Path() + L"\" " + options);
    ASSERT_TRUE(service->Started());
  }
  void OpenAndSend(RequestDriver& request, RecordingHandler& complete, RecordingHandler& lost,
                   const std::wstring& json = kJson) {
    ASSERT_EQ(request.OpenService(segment), S_OK);
    request->put_onreadystatechange(&complete);
    request->put_ondisconnection(&lost);
    ASSERT_EQ(request.Send(json), S_OK);
  }
  // The echo of json, repeated or cut to size characters.
  std::wstring Echo(const std::wstring& json = L"{\"a\":1}", size_t size = 0) {
    const std::wstring echo = L"{\"path\":\"/" + segment + L"/query\",\"json\":" + json + L"}";
    std::wstring text = echo;
    while (text.size() < size) text += echo;
    return size ? text.substr(0, size) : text;
  }

  std::unique_ptr<ZxmlhttpModule> module = std::make_unique<ZxmlhttpModule>();
  const std::wstring segment = UniqueName(L"zxasync");
  TempFile log{L"zxasynclog"};
  std::unique_ptr<SampleServiceProcess> service;
};

// The request goes out over many writes; the reply waits, then comes in
// pieces well apart, so that each state lasts long enough to be seen. The
// handler runs once, as a script handler, on the sending thread.
TEST_F(AsyncRequest, ThePageSeesEachStateAndOneHandlerCall) {
  Serve(L"--size 10000 --delay 300 --drip 4096 200");
  const std::wstring filler(300000, L'x'), json = L"\"" + filler + L"\"";
  RequestDriver request = NewRequest();
  RecordingHandler complete, lost;
  long stateInHandler = -1;
  complete.onCall = [&] { stateInHandler = request.ReadyState(); };
  ASSERT_NO_FATAL_FAILURE(OpenAndSend(request, complete, lost, L"%22" + filler + L"%22"));
  EXPECT_EQ(complete.calls, 0);  // only this thread's message loop runs it
  std::vector<long> states;
  ASSERT_TRUE(PumpMessagesUntil([&] {
    if (states.empty() || states.back() != request.ReadyState())
      states.push_back(request.ReadyState());
    return complete.calls > 0;
  }));
  EXPECT_EQ(states, (std::vector<long>{2, 3, 4}));
  EXPECT_EQ(stateInHandler, 4);
  EXPECT_EQ(complete.threadId, GetCurrentThreadId());
  EXPECT_CALLED_AS_SCRIPT_HANDLER(complete);
  EXPECT_EQ(request.ResponseText(), Echo(json, 10000));
  ASSERT_TRUE(request.WaitUntilExchangeEnded());
  EXPECT_EQ(complete.calls, 1);
  EXPECT_EQ(lost.calls, 0);
  const std::string logged = "/" + std::string(segment.begin(), segment.end()) + "/query?json=";
  EXPECT_EQ(ReadRequestLog(log.Path()),
            (std::vector<std::string>{logged + std::string(json.begin(), json.end())}));
}

// A read may finish before the worker that started it has returned, and
// the next completion go to another worker: every reply spans several
// reads, and objects run at once on two threads, two objects on each.
TEST_F(AsyncRequest, EachThreadHasOneCallbackWindowAndEveryReplyStaysWhole) {
  constexpr int kThreads = 2, kRounds = 50;
  Serve(L"--size 10000");
  std::vector<HWND> windows(kThreads);
  std::vector<int> intact(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      CoInitialize(nullptr);
      {
        RequestDriver requests[] = {NewRequest(), NewRequest()};
        RecordingHandler complete, lost;
        for (int round = 0; round < kRounds; ++round) {
          for (RequestDriver& request : requests) OpenAndSend(request, complete, lost);
          PumpMessagesUntil([&] { return complete.calls == 2 * (round + 1); });
          for (RequestDriver& request : requests)
            intact[t] += request.ResponseText() == Echo(L"{\"a\":1}", 10000);
        }
        const std::vector<HWND> mine = CallbackWindowsOf(GetCurrentThreadId());
        if (mine.size() == 1) windows[t] = mine[0];
      }
      CoUninitialize();
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(intact, std::vector<int>(kThreads, 2 * kRounds));
  EXPECT_NE(windows[0], windows[1]);
  for (HWND window : windows) EXPECT_TRUE(window && !IsWindow(window)) << "gone with its thread";
}

TEST_F(AsyncRequest, UnloadingTheModuleTakesItsCallbackWindowsAndClass) {
  Serve(L"");
  for (int load = 1; load <= 2; ++load) {  // the next load registers the class again
    SCOPED_TRACE(load);
    RequestDriver request = NewRequest();
    RecordingHandler complete, lost;
    ASSERT_NO_FATAL_FAILURE(OpenAndSend(request, complete, lost));
    ASSERT_TRUE(PumpMessagesUntil([&] { return complete.calls > 0; }));
    EXPECT_EQ(CallbackWindowsOf(GetCurrentThreadId()).size(), 1u);
    request.Reset();
    const HMODULE unloaded = module->Handle();
    module.reset();
    EXPECT_TRUE(CallbackWindowsOf(GetCurrentThreadId()).empty());
    WNDCLASSW windowClass;
    EXPECT_FALSE(GetClassInfoW(unloaded, L"ZevXMLHttpRequestClass", &windowClass));
    module = std::make_unique<ZxmlhttpModule>();
  }
}

TEST_F(AsyncRequest, HandlerRemovedAfterItsCallWasPostedStillRuns) {
  Serve(L"");
  RequestDriver request = NewRequest();
  RecordingHandler complete, lost, replacement;
  ASSERT_NO_FATAL_FAILURE(OpenAndSend(request, complete, lost));
  MSG posted;
  ASSERT_TRUE(PollUntil([&] {
    return PeekMessageW(&posted, nullptr, WM_USER + 200, WM_USER + 200, PM_NOREMOVE) != FALSE;
  }));
  EXPECT_EQ(posted.lParam, 4);
  request->put_onreadystatechange(nullptr);
  EXPECT_EQ(complete.refs, 2);  // the posted message's own reference
  request->put_onreadystatechange(&replacement);
  ASSERT_TRUE(PumpMessagesUntil([&] { return complete.calls > 0; }));
  EXPECT_EQ(complete.refs, 1);
  EXPECT_EQ(replacement.calls, 0);
}

// While an exchange is in flight, open is refused; abort ends it at once,
// runs no handler and leaves the object ready to open again.
TEST_F(AsyncRequest, AbortEndsAnExchangeTheServiceNeverAnswers) {
  Serve(L"--delay 30000");
  RequestDriver request = NewRequest();
  RecordingHandler complete, lost;
  ASSERT_NO_FATAL_FAILURE(OpenAndSend(request, complete, lost));
  ASSERT_TRUE(PollUntil([&] { return ReadRequestLog(log.Path()).size() == 1; }));  // it waits
  EXPECT_EQ(request.ResponseText(), L"");  // re-arms, but the exchange is still in flight
  EXPECT_EQ(request.OpenService(segment), kBusy);
  EXPECT_EQ(request.OpenService(segment, false), kBusy);
  EXPECT_EQ(request->abort(), S_OK);
  PumpPendingMessages();
  EXPECT_EQ(complete.calls + lost.calls, 0);
  EXPECT_EQ(request.ReadyState(), 2);
  EXPECT_EQ(request.OpenService(segment), S_OK);
  EXPECT_EQ(request->abort(), S_OK);  // nothing in flight: changes nothing
  EXPECT_EQ(request.ReadyState(), 1);
}

// The abort meets the workers at every stage of a quick exchange: each time
// it either ends the exchange or finds it over, and the object goes on.
TEST_F(AsyncRequest, AbortRacingTheWorkersAlwaysLeavesTheObjectUsable) {
  Serve(L"");
  RequestDriver request = NewRequest();
  RecordingHandler complete, lost;
  for (int round = 0; round < 50; ++round) {
    ASSERT_NO_FATAL_FAILURE(OpenAndSend(request, complete, lost));
    ASSERT_EQ(request->abort(), S_OK);
    request.ResponseText();  // an exchange that ended by itself is read first, as always
  }
  // One that finished as it was aborted may still post its handler: only
  // the last exchange ends in state 4 now.
  ASSERT_NO_FATAL_FAILURE(OpenAndSend(request, complete, lost));
  ASSERT_TRUE(PumpMessagesUntil([&] { return request.ReadyState() == 4; }));
  EXPECT_EQ(request.ResponseText(), Echo());
  EXPECT_EQ(lost.calls, 0);
}

}  // namespace
