// Fault injection: every way a service can fail a request, many times over
// on one object, in both modes. Each time the codes, the readyState and the
// handler calls are the same, nothing hangs, the object then completes a
// good exchange, and the handle count and private bytes stay flat.
#include <windows.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <thread>

#include "harness/message_pump.h"
#include "harness/recording_handler.h"
#include "harness/request_driver.h"
#include "harness/sample_service_process.h"
#include "harness/zxmlhttp_module.h"
#include "reliability/reliability_scale.h"
#include "reliability/resource_usage.h"
#include "reliability/unavailable_pipes.h"
#include "reliability/watchdog.h"
#include "transport/endpoint_config.h"

using Microsoft::WRL::ComPtr;
using namespace zx::test;

namespace {

const wchar_t kJson[] = L"%7B%22a%22%3A1%7D";  // {"a":1}
constexpr long kStateUnchanged = -1;
constexpr int kWarmUpIterations = 2;
constexpr DWORD kStepDeadlineMs = 30000;

// How the service fails the request.
enum class Peer {
  kSampleService,       // one sample service, started with the mode's options
  kNotListening,        // the pipe name is registered, nobody listens
  kBusy,                // the pipe's only instance is taken
  kRefusing,            // the pipe cannot be opened for reading and writing
  kKilledAfterRequest,  // a sample service, killed once it has the request
};

struct Outcome {
  HRESULT open;
  HRESULT send;  // when open succeeded
  // Once the exchange has ended (kStateUnchanged: what it was before open).
  long state;
  LONG completions;
  LONG disconnections;    // reading responseText included
  size_t responseLength;  // of a completed exchange's text
};

struct FaultMode {
  const char* name;
  Peer peer;
  const wchar_t* serviceOptions;
  int quickIterations;
  Outcome sync, async;
};

constexpr HRESULT kOk = S_OK;
const size_t kErrorReplyLength = std::wstring(L"{\"error_code\":\"-536150015\"}").size();

const FaultMode kFaultModes[] = {
    {"zero_length", Peer::kSampleService, L"--reply zero-length", 40,
     {kOk, Code(0xE00C0010), 2, 0, 0, 0}, {kOk, kOk, 5, 0, 1, 0}},
    {"closed_after_part", Peer::kSampleService, L"--size 3000 --partial 1000", 40,
     {kOk, Code(0xE00C000B), 5, 0, 1, 0}, {kOk, kOk, 5, 0, 1, 0}},
    {"length_beyond_what_follows", Peer::kSampleService, L"--size 3000 --short 10", 40,
     {kOk, Code(0xE00C000B), 5, 0, 1, 0}, {kOk, kOk, 5, 0, 1, 0}},
    {"huge_length", Peer::kSampleService, L"--huge", 40,
     {kOk, Code(0xE00C001E), 2, 0, 0, 0}, {kOk, kOk, 5, 0, 1, 0}},
    {"drip_feed", Peer::kSampleService, L"--size 3000 --drip 256 1", 20,
     {kOk, kOk, 4, 1, 0, 3000}, {kOk, kOk, 4, 1, 0, 3000}},
    {"many_writes", Peer::kSampleService, L"--size 3000 --many-writes", 40,
     {kOk, kOk, 4, 1, 0, 3000}, {kOk, kOk, 4, 1, 0, 3000}},
    {"delay", Peer::kSampleService, L"--size 100 --delay 30", 20,
     {kOk, kOk, 4, 1, 0, 100}, {kOk, kOk, 4, 1, 0, 100}},
    {"reply_reports_lost_connection", Peer::kSampleService, L"--reply error-code 0xE00B0001", 40,
     {kOk, kOk, 5, 1, 1, kErrorReplyLength}, {kOk, kOk, 5, 1, 1, kErrorReplyLength}},
    {"not_running", Peer::kNotListening, L"", 40,
     {kOk, Code(0xE00C0004), 5, 0, 1, 0}, {Code(0xE00D0005), kOk, 5, 0, 1, 0}},
    // Waiting for a free instance runs into the pipe's time-out: the
    // service is as unreachable as when it is not running.
    {"pipe_busy", Peer::kBusy, L"", 20,
     {kOk, Code(0xE00C0004), 5, 0, 1, 0}, {Code(0xE00D0005), kOk, 5, 0, 1, 0}},
    // Five attempts 50 ms apart each time.
    {"open_refused", Peer::kRefusing, L"", 4,
     {kOk, Code(0xE00C0005), 2, 0, 0, 0}, {Code(0xE00D0006), kOk, kStateUnchanged, 0, 0, 0}},
    {"killed_mid_exchange", Peer::kKilledAfterRequest, L"--delay 30000", 5,
     {kOk, Code(0xE00C000B), 5, 0, 1, 0}, {kOk, kOk, 5, 0, 1, 0}},
};

// Test names carry the mode's name; so do failure messages.
void PrintTo(const FaultMode& mode, std::ostream* out) { *out << mode.name; }

class FaultInjectionTest : public ::testing::TestWithParam<FaultMode> {
 protected:
  void SetUp() override {
    CoInitialize(nullptr);
    ComPtr<IZevXMLHttpRequest> object;
    ASSERT_EQ(module.Create(CLSID_ZevXMLHttpRequest, IID_IZevXMLHttpRequest, &object), S_OK);
    request = std::make_unique<RequestDriver>(object);
    // ondisconnection survives every open; onreadystatechange is set after each.
    (*request)->put_ondisconnection(&lost);
    good = std::make_unique<SampleServiceProcess>(L"--segment " + goodSegment + L" --pipe " +
                                                  goodSegment);
    ASSERT_TRUE(good->Started());
    ASSERT_TRUE(PrepareFaultyPeer());
  }

  void TearDown() override {
    request.reset();
    faulty.reset();
    good.reset();
    for (const std::wstring& segment : {goodSegment, faultySegment}) {
      RegDeleteKeyW(HKEY_LOCAL_MACHINE, (zx::kDefaultSpRootKeyPath + segment).c_str());
    }
    EXPECT_EQ(complete.refs, 1);
    EXPECT_EQ(lost.refs, 1);
    EXPECT_EQ(module.CanUnloadNow(), S_OK);
    CoUninitialize();
  }

  bool PrepareFaultyPeer() {
    const FaultMode& mode = GetParam();
    switch (mode.peer) {
      case Peer::kSampleService:
        return StartFaultyService();
      case Peer::kNotListening:
        registered = std::make_unique<RegisteredPipeName>(faultySegment, faultySegment);
        return true;
      case Peer::kBusy:
        registered = std::make_unique<RegisteredPipeName>(faultySegment, faultySegment);
        busy = std::make_unique<BusyPipe>(faultySegment);
        return busy->Ready();
      case Peer::kRefusing:
        registered = std::make_unique<RegisteredPipeName>(faultySegment, faultySegment);
        refusing = std::make_unique<RefusingPipe>(faultySegment);
        return refusing->Ready();
      case Peer::kKilledAfterRequest:
        return true;  // a new service for every request
    }
    return false;
  }

  bool StartFaultyService() {
    faulty.reset();
    faulty = std::make_unique<SampleServiceProcess>(
        L"--segment " + faultySegment + L" --pipe " + faultySegment + L" --log \"" +
        log.Path() + L"\" " + GetParam().serviceOptions);
    return faulty->Started();
  }

  // Kills the service once it has logged its requestNumber-th request, on a
  // thread of its own: a synchronous send holds this one until then.
  std::thread KillAfterRequest(size_t requestNumber) {
    return std::thread([this, requestNumber] {
      PollUntil([&] { return ReadRequestLog(log.Path()).size() >= requestNumber; });
      faulty->Kill();
    });
  }

  void RunFaultyExchange(bool async, const Outcome& expected, int iteration) {
    RequestDriver& r = *request;
    const long stateBefore = r.ReadyState();
    const LONG completionsBefore = complete.calls, disconnectionsBefore = lost.calls;
    const bool killing = GetParam().peer == Peer::kKilledAfterRequest;
    if (killing) {
      ASSERT_TRUE(StartFaultyService());
    }
    const HRESULT opened = r.OpenService(faultySegment, async);
    EXPECT_EQ(opened, expected.open);
    if (opened == S_OK) {
      r->put_onreadystatechange(&complete);
      std::thread killer = killing ? KillAfterRequest(iteration + 1) : std::thread();
      EXPECT_EQ(r.Send(kJson), expected.send);
      if (async) FinishAsynchronousExchange(expected, completionsBefore, disconnectionsBefore);
      if (killer.joinable()) killer.join();
      if (!async && expected.send == S_OK) CheckResponse(expected);
    }
    PumpPendingMessages();
    EXPECT_EQ(r.ReadyState(), expected.state == kStateUnchanged ? stateBefore : expected.state);
    EXPECT_EQ(complete.calls - completionsBefore, expected.completions);
    EXPECT_EQ(lost.calls - disconnectionsBefore, expected.disconnections);
  }

  // Waits for the handler the workers post, if any, then until they have
  // ended the exchange: they post after letting go of it.
  void FinishAsynchronousExchange(const Outcome& expected, LONG completionsBefore,
                                  LONG disconnectionsBefore) {
    if (expected.completions > 0) {
      ASSERT_TRUE(PumpMessagesUntil([&] { return complete.calls > completionsBefore; }));
      CheckResponse(expected);
      return;
    }
    if (expected.disconnections > 0) {
      ASSERT_TRUE(PumpMessagesUntil([&] { return lost.calls > disconnectionsBefore; }));
    }
    EXPECT_TRUE(request->WaitUntilExchangeEnded());
  }

  void CheckResponse(const Outcome& expected) {
    EXPECT_EQ(request->ResponseText().size(), expected.responseLength);
  }

  void RunGoodExchange(bool async) {
    RequestDriver& r = *request;
    const LONG completionsBefore = complete.calls;
    ASSERT_EQ(r.OpenService(goodSegment, async), S_OK);
    r->put_onreadystatechange(&complete);
    ASSERT_EQ(r.Send(kJson), S_OK);
    ASSERT_TRUE(PumpMessagesUntil([&] { return complete.calls > completionsBefore; }));
    EXPECT_EQ(r.ResponseText(), L"{\"path\":\"/" + goodSegment + L"/query\",\"json\":{\"a\":1}}");
    EXPECT_EQ(r.ReadyState(), 4);
  }

  void RunMode(bool async) {
    const FaultMode& mode = GetParam();
    const Outcome& expected = async ? mode.async : mode.sync;
    const int iterations = Scaled(mode.quickIterations) + kWarmUpIterations;
    Watchdog watchdog(kStepDeadlineMs);
    ResourceUsage before;
    for (int i = 0; i < iterations && !HasFailure(); ++i) {
      SCOPED_TRACE("iteration " + std::to_string(i));
      if (i == kWarmUpIterations) before = MeasureUsage();
      watchdog.Step(std::string(mode.name) + " fault, iteration " + std::to_string(i));
      RunFaultyExchange(async, expected, i);
      watchdog.Step(std::string(mode.name) + " good exchange, iteration " + std::to_string(i));
      RunGoodExchange(async);
    }
    const ResourceUsage after = MeasureUsage();
    EXPECT_USAGE_FLAT(before, after);
    ReportFigure(std::string(async ? "async " : "sync ") + mode.name + ": " +
                 std::to_string(iterations - kWarmUpIterations) + " iterations after " +
                 std::to_string(kWarmUpIterations) + " warm-up, " + DescribeGrowth(before, after));
  }

  ZxmlhttpModule module;
  // Outlive the object, which holds references to them.
  RecordingHandler complete, lost;
  std::unique_ptr<RequestDriver> request;
  std::wstring goodSegment = UniqueName(L"zxgood");
  std::wstring faultySegment = UniqueName(L"zxfault");
  TempFile log{L"zxfaultlog"};
  std::unique_ptr<SampleServiceProcess> good, faulty;
  std::unique_ptr<RegisteredPipeName> registered;
  std::unique_ptr<BusyPipe> busy;
  std::unique_ptr<RefusingPipe> refusing;
};

TEST_P(FaultInjectionTest, SynchronousFaultGivesTheSameOutcomeEveryTimeAndTheObjectRecovers) {
  RunMode(false);
}

TEST_P(FaultInjectionTest, AsynchronousFaultGivesTheSameOutcomeEveryTimeAndTheObjectRecovers) {
  RunMode(true);
}

INSTANTIATE_TEST_SUITE_P(Modes, FaultInjectionTest, ::testing::ValuesIn(kFaultModes),
                         [](const ::testing::TestParamInfo<FaultMode>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
