// The request object in asynchronous mode against the real sample service:
// the workers finish each exchange, and handlers run only when the thread
// that called send pumps its messages.
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

std::string Narrow(const std::wstring& ascii) { return std::string(ascii.begin(), ascii.end()); }

class AsyncRequestTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CoInitialize(nullptr);
    ASSERT_NE(module->Handle(), nullptr);
  }
  void TearDown() override {
    StopService();
    CoUninitialize();
  }

  RequestDriver NewRequest() {
    ComPtr<IZevXMLHttpRequest> request;
    EXPECT_EQ(module->Create(CLSID_ZevXMLHttpRequest, IID_IZevXMLHttpRequest, &request), S_OK);
    return RequestDriver(request);
  }
  // Opens the request to this test's service with both handlers set, and
  // sends kJson.
  void OpenAndSend(RequestDriver& request, RecordingHandler& complete, RecordingHandler& lost) {
    ASSERT_EQ(request.OpenService(segment), S_OK);
    request->put_onreadystatechange(&complete);
    request->put_ondisconnection(&lost);
    ASSERT_EQ(request.Send(kJson), S_OK);
  }
  // A fresh service (and segment) answering as the options say.
  void Serve(const std::wstring& options = L"") {
    StopService();
    segment = UniqueName(L"zxasync");
    service = std::make_unique<SampleServiceProcess>(L"--segment " + segment + L" --pipe " +
                                                     segment + L" --log \"" + log.Path() +
                                                     L"\" " + options);
    ASSERT_TRUE(service->Started());
  }
  // Killed services leave their registration behind.
  void StopService() {
    if (!service) return;
    service.reset();
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, (zx::kDefaultSpRootKeyPath + segment).c_str());
  }
  bool WaitForLoggedRequests(size_t count) {
    return PollUntil([&] { return ReadRequestLog(log.Path()).size() >= count; });
  }
  std::wstring Echo(const std::string& json = "{\"a\":1}") {
    return L"{\"path\":\"/" + segment + L"/query\",\"json\":" +
           std::wstring(json.begin(), json.end()) + L"}";
  }

  std::unique_ptr<ZxmlhttpModule> module = std::make_unique<ZxmlhttpModule>();
  TempFile log{L"zxasynclog"};
  std::wstring segment;
  std::unique_ptr<SampleServiceProcess> service;
};

TEST_F(AsyncRequestTest, OpenWithoutAListeningServiceCallsOndisconnectionOnce) {
  segment = UniqueName(L"zxnobody");
  RegisteredPipeName registered(segment, UniqueName(L"zx-nobody"));
  RequestDriver request = NewRequest();
  RecordingHandler lost;
  request->put_ondisconnection(&lost);
  EXPECT_EQ(request.OpenService(segment), Code(0xE00D0005));
  EXPECT_EQ(lost.calls, 1);
  EXPECT_EQ(lost.threadId, GetCurrentThreadId());
  EXPECT_EQ(request.ReadyState(), 5);
  EXPECT_EQ(request.OpenService(segment), Code(0xE00D0005));  // already 5: nothing fires
  EXPECT_EQ(lost.calls, 1);
}

TEST_F(AsyncRequestTest, LargeReplyIsStoredWholeAndItsHandlerRunsOnceOnTheSendingThread) {
  Serve(L"--size 10000");
  RequestDriver request = NewRequest();
  RecordingHandler complete, lost;
  ASSERT_EQ(request.OpenService(segment), S_OK);
  EXPECT_EQ(request.ReadyState(), 1);
  request->put_onreadystatechange(&complete);
  request->put_ondisconnection(&lost);
  ASSERT_EQ(request.Send(kJson), S_OK);
  EXPECT_EQ(complete.calls, 0);  // only this thread's message loop runs it
  ASSERT_TRUE(PumpMessagesUntil([&] { return complete.calls > 0; }));
  EXPECT_EQ(request.ReadyState(), 4);
  EXPECT_EQ(complete.threadId, GetCurrentThreadId());
  EXPECT_CALLED_AS_SCRIPT_HANDLER(complete);

  std::wstring expected;
  while (expected.size() < 10000) expected += Echo();
  expected.resize(10000);
  EXPECT_EQ(request.ResponseText(), expected);
  EXPECT_TRUE(request.WaitUntilExchangeEnded());
  EXPECT_EQ(complete.calls, 1);
  EXPECT_EQ(lost.calls, 0);
}

TEST_F(AsyncRequestTest, ReadyStatePassesTwoThreeFour) {
  // The reply waits, then comes in pieces well apart, so that each state
  // lasts long enough to be seen.
  Serve(L"--size 10000 --delay 500 --drip 4096 300");
  RequestDriver request = NewRequest();
  RecordingHandler complete;
  long stateSeenByHandler = 0;
  complete.onCall = [&] { stateSeenByHandler = request.ReadyState(); };
  ASSERT_EQ(request.OpenService(segment), S_OK);
  request->put_onreadystatechange(&complete);
  ASSERT_EQ(request.Send(kJson), S_OK);
  std::vector<long> states;
  ASSERT_TRUE(PumpMessagesUntil([&] {
    const long state = request.ReadyState();
    if (states.empty() || states.back() != state) states.push_back(state);
    return complete.calls > 0;
  }));
  EXPECT_EQ(states, (std::vector<long>{2, 3, 4}));
  EXPECT_EQ(stateSeenByHandler, 4);
  EXPECT_EQ(request.ResponseText().size(), 10000u);
}

TEST_F(AsyncRequestTest, EachSendingThreadHasExactlyOneCallbackWindow) {
  Serve();
  RequestDriver first = NewRequest(), second = NewRequest();
  RecordingHandler firstDone, secondDone;
  for (auto [request, handler] : {std::pair{&first, &firstDone}, std::pair{&second, &secondDone}}) {
    ASSERT_EQ(request->OpenService(segment), S_OK);
    (*request)->put_onreadystatechange(handler);
    ASSERT_EQ(request->Send(kJson), S_OK);
  }
  ASSERT_TRUE(PumpMessagesUntil([&] { return firstDone.calls > 0 && secondDone.calls > 0; }));
  const std::vector<HWND> mine = CallbackWindowsOf(GetCurrentThreadId());
  ASSERT_EQ(mine.size(), 1u);

  DWORD otherThread = 0;
  std::vector<HWND> theirs;
  RecordingHandler otherDone;
  std::thread other([&] {
    CoInitialize(nullptr);
    otherThread = GetCurrentThreadId();
    RequestDriver request = NewRequest();
    if (request.OpenService(segment) == S_OK) {
      request->put_onreadystatechange(&otherDone);
      if (request.Send(kJson) == S_OK) PumpMessagesUntil([&] { return otherDone.calls > 0; });
    }
    theirs = CallbackWindowsOf(otherThread);  // the window goes with its thread
    request.Reset();
    CoUninitialize();
  });
  other.join();
  EXPECT_EQ(otherDone.calls, 1);
  EXPECT_EQ(otherDone.threadId, otherThread);
  ASSERT_EQ(theirs.size(), 1u);
  EXPECT_NE(theirs[0], mine[0]);
  EXPECT_EQ(CallbackWindowsOf(GetCurrentThreadId()), mine);
}

TEST_F(AsyncRequestTest, UnloadingTheModuleTakesItsCallbackWindowsAndClass) {
  Serve();
  for (int load = 1; load <= 2; ++load) {
    SCOPED_TRACE(load);
    RequestDriver request = NewRequest();
    RecordingHandler complete;
    ASSERT_EQ(request.OpenService(segment), S_OK);
    request->put_onreadystatechange(&complete);
    ASSERT_EQ(request.Send(kJson), S_OK);
    ASSERT_TRUE(PumpMessagesUntil([&] { return complete.calls > 0; }));
    EXPECT_EQ(CallbackWindowsOf(GetCurrentThreadId()).size(), 1u);
    request.Reset();
    const HMODULE unloaded = module->Handle();
    module.reset();
    EXPECT_TRUE(CallbackWindowsOf(GetCurrentThreadId()).empty());
    WNDCLASSW windowClass;
    EXPECT_FALSE(GetClassInfoW(unloaded, L"ZevXMLHttpRequestClass", &windowClass));
    module = std::make_unique<ZxmlhttpModule>();  // the next load registers the class again
  }
}

TEST_F(AsyncRequestTest, HandlerRemovedAfterItsCallWasPostedStillRuns) {
  Serve();
  RequestDriver request = NewRequest();
  RecordingHandler complete, replacement;
  ASSERT_EQ(request.OpenService(segment), S_OK);
  request->put_onreadystatechange(&complete);
  ASSERT_EQ(request.Send(kJson), S_OK);
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
  request.Reset();
  EXPECT_EQ(replacement.refs, 1);
}

// Every way a service fails an exchange after send has returned reaches the
// page as a lost connection, once, on the sending thread, and the object
// can be opened again.
TEST_F(AsyncRequestTest, FailedExchangeCallsOndisconnectionOnceOnTheSendingThread) {
  struct Failure {
    const wchar_t* serviceOptions;
    bool killedWhileReplying;
  };
  const Failure failures[] = {
      {L"--reply zero-length", false},
      {L"--size 10000 --partial 5000", false},
      {L"--size 10000 --short 10", false},
      {L"--size 10000 --partial 5000 --drip 1000 50", false},
      {L"--huge", false},  // a length the process cannot hold
      {L"--delay 30000", true},
  };
  for (const Failure& failure : failures) {
    SCOPED_TRACE(failure.serviceOptions);
    Serve(failure.serviceOptions);
    const size_t loggedBefore = ReadRequestLog(log.Path()).size();
    RequestDriver request = NewRequest();
    RecordingHandler complete, lost;
    ASSERT_NO_FATAL_FAILURE(OpenAndSend(request, complete, lost));
    if (failure.killedWhileReplying) {
      ASSERT_TRUE(WaitForLoggedRequests(loggedBefore + 1));
      service->Kill();
    }
    ASSERT_TRUE(PumpMessagesUntil([&] { return lost.calls > 0; }));
    EXPECT_EQ(request.ReadyState(), 5);
    EXPECT_EQ(lost.threadId, GetCurrentThreadId());
    ASSERT_TRUE(request.WaitUntilExchangeEnded());
    EXPECT_EQ(lost.calls, 1);
    EXPECT_EQ(complete.calls, 0);
  }
}

TEST_F(AsyncRequestTest, AbortEndsAnExchangeTheServiceNeverAnswersAndRunsNoHandler) {
  Serve(L"--delay 30000");
  RequestDriver request = NewRequest();
  RecordingHandler complete, lost;
  ASSERT_NO_FATAL_FAILURE(OpenAndSend(request, complete, lost));
  ASSERT_TRUE(WaitForLoggedRequests(1));
  EXPECT_EQ(request->abort(), S_OK);
  PumpPendingMessages();
  EXPECT_EQ(complete.calls, 0);
  EXPECT_EQ(lost.calls, 0);
  EXPECT_EQ(request.ReadyState(), 2);
  EXPECT_EQ(request.OpenService(segment), S_OK);
  EXPECT_EQ(request->abort(), S_OK);  // nothing in flight: changes nothing
  EXPECT_EQ(request.ReadyState(), 1);
}

// The abort meets the workers at every stage of a quick exchange: each time
// it either ends the exchange or finds it over (and then changes nothing:
// the reply is read before the next open, as always).
TEST_F(AsyncRequestTest, AbortRacingTheWorkersAlwaysLeavesTheObjectUsable) {
  constexpr LONG kRounds = 50;
  Serve();
  RequestDriver request = NewRequest();
  RecordingHandler complete, lost;
  for (LONG round = 0; round < kRounds; ++round) {
    ASSERT_NO_FATAL_FAILURE(OpenAndSend(request, complete, lost));
    ASSERT_EQ(request->abort(), S_OK);
    request.ResponseText();
  }
  PumpPendingMessages();
  EXPECT_LE(complete.calls, kRounds);
  EXPECT_EQ(lost.calls, 0);
  ASSERT_NO_FATAL_FAILURE(OpenAndSend(request, complete, lost));
  // An exchange that finished as it was aborted may still post its handler;
  // only this last one ends in state 4 now.
  ASSERT_TRUE(PumpMessagesUntil([&] { return request.ReadyState() == 4; }));
  EXPECT_EQ(request.ResponseText(), Echo());
}

TEST_F(AsyncRequestTest, DestroyingTheObjectWithAReadOutstandingEndsEverything) {
  Serve(L"--delay 30000");
  RecordingHandler complete, lost;
  DWORD handlesAfterFirst = 0;
  for (size_t round = 1; round <= 4; ++round) {
    SCOPED_TRACE(round);
    RequestDriver request = NewRequest();
    ASSERT_NO_FATAL_FAILURE(OpenAndSend(request, complete, lost));
    ASSERT_TRUE(WaitForLoggedRequests(round));  // the service holds the reply back
    request.Reset();
    PumpPendingMessages();
    EXPECT_EQ(complete.refs, 1);
    EXPECT_EQ(lost.refs, 1);
    if (round == 1) handlesAfterFirst = ProcessHandleCount();
  }
  EXPECT_EQ(complete.calls, 0);
  EXPECT_EQ(lost.calls, 0);
  EXPECT_LE(ProcessHandleCount(), handlesAfterFirst);
}

TEST_F(AsyncRequestTest, OpenWhileAnExchangeIsInFlightIsRefused) {
  Serve(L"--delay 500");
  RequestDriver request = NewRequest();
  RecordingHandler complete;
  ASSERT_EQ(request.OpenService(segment), S_OK);
  request->put_onreadystatechange(&complete);
  ASSERT_EQ(request.Send(kJson), S_OK);
  EXPECT_EQ(request.ResponseText(), L"");  // re-arms before the reply is in
  EXPECT_EQ(request.OpenService(segment), Code(0xE00D000D));
  EXPECT_EQ(request.OpenService(segment, false), Code(0xE00D000D));
  ASSERT_TRUE(PumpMessagesUntil([&] { return complete.calls > 0; }));
  EXPECT_EQ(request.ResponseText(), Echo());
  ASSERT_TRUE(PollUntil([&] { return request.OpenService(segment) != Code(0xE00D000D); }));
  EXPECT_EQ(request.ReadyState(), 1);
}

TEST_F(AsyncRequestTest, LongRequestIsWrittenWhole) {
  Serve();
  const std::string filler(300000, 'x');
  const std::string json = "{\"a\":\"" + filler + "\"}";
  RequestDriver request = NewRequest();
  RecordingHandler complete;
  ASSERT_EQ(request.OpenService(segment), S_OK);
  request->put_onreadystatechange(&complete);
  ASSERT_EQ(request.Send(L"%7B%22a%22%3A%22" + std::wstring(filler.begin(), filler.end()) +
                         L"%22%7D"),
            S_OK);
  ASSERT_TRUE(PumpMessagesUntil([&] { return complete.calls > 0; }));
  EXPECT_EQ(request.ResponseText(), Echo(json));
  const std::vector<std::string> logged = ReadRequestLog(log.Path());
  ASSERT_EQ(logged.size(), 1u);
  EXPECT_EQ(logged[0], "/" + Narrow(segment) + "/query?json=" + json);
}

TEST_F(AsyncRequestTest, HandlerMayStartTheNextRequestAtOnce) {
  constexpr LONG kRequests = 50;
  Serve();
  RequestDriver request = NewRequest();
  RecordingHandler complete;
  std::vector<HRESULT> failures;
  complete.onCall = [&] {
    if (request.ResponseText() != Echo()) failures.push_back(E_UNEXPECTED);
    if (complete.calls >= kRequests) return;
    HRESULT hr = request.OpenService(segment);
    if (hr == S_OK) {
      request->put_onreadystatechange(&complete);
      hr = request.Send(kJson);
    }
    if (hr != S_OK) failures.push_back(hr);
  };
  ASSERT_EQ(request.OpenService(segment), S_OK);
  request->put_onreadystatechange(&complete);
  ASSERT_EQ(request.Send(kJson), S_OK);
  ASSERT_TRUE(
      PumpMessagesUntil([&] { return complete.calls >= kRequests || !failures.empty(); }));
  EXPECT_EQ(failures, std::vector<HRESULT>{});
  EXPECT_EQ(complete.calls, kRequests);
}

TEST_F(AsyncRequestTest, ManySequentialRequestsLeaveTheHandleCountFlat) {
  Serve();
  RequestDriver request = NewRequest();
  RecordingHandler complete;
  DWORD handlesBefore = 0;
  for (LONG done = 0; done < 105; ++done) {
    if (done == 5) handlesBefore = ProcessHandleCount();
    ASSERT_EQ(request.OpenService(segment), S_OK);
    request->put_onreadystatechange(&complete);
    ASSERT_EQ(request.Send(kJson), S_OK);
    ASSERT_TRUE(PumpMessagesUntil([&] { return complete.calls > done; }));
    ASSERT_EQ(request.ResponseText(), Echo());
  }
  EXPECT_EQ(complete.calls, 105);
  EXPECT_LE(ProcessHandleCount(), handlesBefore + 2);
}

// Workers race here: a read may finish before the worker that started it
// has returned, and the next completion goes to another worker. Every reply
// spans several reads, and several objects run at once on their own threads.
TEST_F(AsyncRequestTest, RepliesStayWholeOverManyRequestsOnSeveralThreads) {
  constexpr int kThreads = 2;
  constexpr LONG kRequestsPerThread = 150;
  constexpr size_t kReplyBytes = 10000;
  Serve(L"--size " + std::to_wstring(kReplyBytes));
  std::wstring expected;
  while (expected.size() < kReplyBytes) expected += Echo();
  expected.resize(kReplyBytes);
  std::vector<LONG> intact(kThreads, 0);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      CoInitialize(nullptr);
      {
        RequestDriver request = NewRequest();
        RecordingHandler complete;
        for (LONG done = 0; done < kRequestsPerThread; ++done) {
          if (request.OpenService(segment) != S_OK) break;
          request->put_onreadystatechange(&complete);
          if (request.Send(kJson) != S_OK) break;
          if (!PumpMessagesUntil([&] { return complete.calls > done; })) break;
          if (request.ResponseText() == expected && complete.calls == done + 1) ++intact[t];
        }
        request.Reset();
      }
      CoUninitialize();
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(intact, std::vector<LONG>(kThreads, kRequestsPerThread));
}

}  // namespace
