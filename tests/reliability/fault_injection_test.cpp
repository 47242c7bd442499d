// Fault injection: every way a service can fail a request, many times over
// on one object, in both modes. Each time the codes, the readyState and the
// handler calls are the same (a synchronous exchange's have run when send
// returns), each handler sees the state it reports, none runs twice, the
// object then completes a good exchange, and handles and private bytes stay
// flat.
#include <memory>
#include <ostream>
#include <string>
#include <thread>

#include "support/page_test.h"

using namespace zx::test;

namespace {

constexpr long kStateUnchanged = -1;
constexpr int kWarmUpIterations = 2;
constexpr HRESULT kOk = S_OK;
const size_t kErrorReplyLength = std::string("{\"error_code\":\"-536150015\"}").size();

// Who fails the request: a sample service started with the mode's options
// (killed, where so, once it has the request), or a pipe name registered
// with nobody listening, with its only instance taken, or open only for
// reading.
enum class Peer { kService, kKilledService, kNotListening, kBusy, kRefusing };

struct Outcome {
  HRESULT open, send;                // send: when open succeeded
  long state;                        // once the exchange has ended
  LONG completions, disconnections;  // reading responseText included
  size_t textLength;
};

struct FaultMode {
  const char* name;
  Peer peer;
  const wchar_t* options;
  int quickIterations;
  Outcome sync, async;
};

// A busy pipe is reported like a missing service: waiting for a free
// instance runs into the pipe's time-out. An open is refused after five
// attempts 50 ms apart. Each row: name, peer, service options, quick
// iterations; then synchronous and asynchronous {open, send, state,
// completions, disconnections, text length}.
// clang-format off
const FaultMode kFaultModes[] = {
    {"zero_length", Peer::kService, L"--reply zero-length", 40,
     {kOk, Code(0xE00C0010), 2, 0, 0, 0}, {kOk, kOk, 5, 0, 1, 0}},
    {"length_beyond_what_follows", Peer::kService, L"--size 3000 --short 10", 40,
     {kOk, Code(0xE00C000B), 5, 0, 1, 0}, {kOk, kOk, 5, 0, 1, 0}},
    {"huge_length", Peer::kService, L"--huge", 40,
     {kOk, Code(0xE00C001E), 2, 0, 0, 0}, {kOk, kOk, 5, 0, 1, 0}},
    {"reply_reports_lost_connection", Peer::kService, L"--reply error-code 0xE00B0001", 40,
     {kOk, kOk, 5, 1, 1, kErrorReplyLength}, {kOk, kOk, 5, 1, 1, kErrorReplyLength}},
    {"killed_mid_exchange", Peer::kKilledService, L"--delay 30000", 5,
     {kOk, Code(0xE00C000B), 5, 0, 1, 0}, {kOk, kOk, 5, 0, 1, 0}},
    {"not_running", Peer::kNotListening, L"", 40,
     {kOk, Code(0xE00C0004), 5, 0, 1, 0}, {Code(0xE00D0005), kOk, 5, 0, 1, 0}},
    {"pipe_busy", Peer::kBusy, L"", 20,
     {kOk, Code(0xE00C0004), 5, 0, 1, 0}, {Code(0xE00D0005), kOk, 5, 0, 1, 0}},
    {"open_refused", Peer::kRefusing, L"", 4,
     {kOk, Code(0xE00C0005), 2, 0, 0, 0}, {Code(0xE00D0006), kOk, kStateUnchanged, 0, 0, 0}},
};
// clang-format on

void PrintTo(const FaultMode& mode, std::ostream* out) { *out << mode.name; }

class FaultInjectionTest : public PageTest, public ::testing::WithParamInterface<FaultMode> {
 protected:
  void SetUp() override {
    PageTest::SetUp();
    // ondisconnection survives every open; onreadystatechange is set after each.
    complete.onCall = [this] { EXPECT_EQ(driver->ReadyState(), 4) << "in onreadystatechange"; };
    lost.onCall = [this] { EXPECT_EQ(driver->ReadyState(), 5) << "in ondisconnection"; };
    ASSERT_TRUE(PrepareFaultyPeer(GetParam().peer));
  }

  bool PrepareFaultyPeer(Peer peer) {
    if (peer == Peer::kService || peer == Peer::kKilledService) {
      faulty = std::make_unique<ServiceOnSegment>(GetParam().options, L"zxfault");
      segment = faulty->Segment();
      return faulty->Started();
    }
    registered = std::make_unique<RegisteredPipeName>(segment, segment);
    if (peer == Peer::kNotListening) return true;
    // The only instance, with a short default wait for a free one.
    const std::wstring path = L"\\\\.\\pipe\\" + segment;
    instance.Reset(CreateNamedPipeW(path.c_str(),
                                    peer == Peer::kBusy ? PIPE_ACCESS_DUPLEX : PIPE_ACCESS_INBOUND,
                                    PIPE_TYPE_BYTE | PIPE_WAIT, 1, 4096, 4096, 50, nullptr));
    if (peer == Peer::kRefusing) return static_cast<bool>(instance);
    holder.Reset(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                             0, nullptr));
    return static_cast<bool>(holder);
  }

  // Every asynchronous exchange ends in a handler call. A killed service is
  // killed from a thread of its own once it has logged the request: a
  // synchronous send holds this one until then.
  void RunFaultyExchange(bool async, const Outcome& expected, int iteration) {
    const long stateBefore = driver->ReadyState();
    const LONG completionsBefore = complete.calls, disconnectionsBefore = lost.calls;
    const bool killed = GetParam().peer == Peer::kKilledService;
    if (killed && !faulty->Started()) ASSERT_TRUE(faulty->Restart(GetParam().options));
    const HRESULT opened = driver->OpenService(segment, async);
    EXPECT_EQ(opened, expected.open);
    if (opened == S_OK) {
      (*driver)->put_onreadystatechange(&complete);
      std::thread killer;
      if (killed) {
        killer = std::thread([&] {
          PollUntil([&] { return faulty->Logged().size() > size_t(iteration); });
          faulty->Kill();
        });
      }
      EXPECT_EQ(driver->Send(L"%7B%22a%22%3A1%7D"), expected.send);
      EXPECT_TRUE(!async || PumpMessagesUntil([&] {
        return complete.calls + lost.calls > completionsBefore + disconnectionsBefore;
      }));
      if (killer.joinable()) killer.join();
      EXPECT_EQ(driver->ResponseText().size(), expected.textLength);
    }
    EXPECT_EQ(driver->ReadyState(),
              expected.state == kStateUnchanged ? stateBefore : expected.state);
    EXPECT_EQ(complete.calls - completionsBefore, expected.completions);
    EXPECT_EQ(lost.calls - disconnectionsBefore, expected.disconnections);
  }

  // Then a good exchange: a handler call the faulty one posted twice would
  // come before its own.
  void RunMode(bool async) {
    const FaultMode& mode = GetParam();
    MeasureRounds(kWarmUpIterations, Scaled(mode.quickIterations),
                  std::string(async ? "async " : "sync ") + mode.name, [&](int i) {
                    SCOPED_TRACE("iteration " + std::to_string(i));
                    RunFaultyExchange(async, async ? mode.async : mode.sync, i);
                    const LONG completionsBefore = complete.calls, lostBefore = lost.calls;
                    ExpectUsable(async);
                    EXPECT_EQ(complete.calls - completionsBefore, 1);
                    EXPECT_EQ(lost.calls - lostBefore, 0);
                  });
  }

  std::unique_ptr<ServiceOnSegment> faulty;
  std::wstring segment = UniqueName(L"zxfault");  // the faulty peer's
  std::unique_ptr<RegisteredPipeName> registered;
  zx::UniqueFile instance, holder;
};

TEST_P(FaultInjectionTest, SynchronousFaultGivesTheSameOutcomeEveryTimeAndTheObjectRecovers) {
  RunMode(false);
}

TEST_P(FaultInjectionTest, AsynchronousFaultGivesTheSameOutcomeEveryTimeAndTheObjectRecovers) {
  RunMode(true);
}

INSTANTIATE_TEST_SUITE_P(Modes, FaultInjectionTest, ::testing::ValuesIn(kFaultModes),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
