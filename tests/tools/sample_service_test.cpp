// The sample service run as a child: its replies byte for byte on the wire
// with the request each one logged, how it ends and what it leaves
// registered. The failure modes the fault-injection tests use are checked
// there by what the module makes of them; here are their combinations. Not
// checked: refusals of options that do not go together (a test passing a
// wrong pair fails anyway) and its install (the health tests run it).
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>

#include "common/win_resources.h"
#include "harness/sample_service_process.h"
#include "support/raw_pipe_client.h"
#include "transport/endpoint_config.h"

namespace zx::test {
namespace {

using namespace std::string_literals;

const std::string kRequest = "/svc/query?json={\"a\":1}";
const std::string kEcho = "{\"path\":\"/svc/query\",\"json\":{\"a\":1}}";
const std::string kFileBody = "0123456789abcdefghijklmnopqrstuvwxyz";

// A request that never came whole goes unanswered and unlogged.
TEST(SampleService, RepliesInEachModeByteForByteAndLogsEachWholeRequest) {
  TempFile file(L"zxsample-reply");
  ASSERT_TRUE(std::ofstream(file.Path().c_str(), std::ios::binary) << kFileBody);
  const std::wstring fromFile = L"--reply file \"" + file.Path() + L"\" ";
  const std::uint32_t echoLength = static_cast<std::uint32_t>(kEcho.size());
  const struct Case {
    std::wstring options;
    std::string payload, reply;
  } cases[] = {
      {L"", kRequest, Frame(kEcho)},
      {L"", "/no/separator", Frame("{\"path\":\"/no/separator\",\"json\":null}")},
      {L"", "/x?json=1?json=2", Frame("{\"path\":\"/x\",\"json\":1?json=2}")},
      {L"", "/bin?json=\0\xff"s, Frame("{\"path\":\"/bin\",\"json\":\0\xff}"s)},
      {fromFile, kRequest, Frame(kFileBody)},
      {fromFile + L"--size 80", kRequest, Frame(kFileBody + kFileBody + kFileBody.substr(0, 8))},
      {fromFile + L"--partial 0", kRequest, FrameHeader(36)},
      {L"--delay 100 --drip 1000 10", kRequest, Frame(kEcho)},
      {L"--drip 2 1 --partial 7", kRequest, FrameHeader(echoLength) + kEcho.substr(0, 7)},
      {L"--many-writes --huge", kRequest, FrameHeader(0xFFFFFFF0u) + kEcho.substr(0, 16)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.options) + " " + c.payload);
    ServiceOnSegment service(c.options);
    ASSERT_TRUE(service.Started());
    const std::wstring pipe = kPipePathPrefix + service.Segment();
    EXPECT_EQ(RawSendAndHangUp(pipe, "\x0a\0\0\0abc"s), DWORD{ERROR_SUCCESS});
    const RawReply reply = RawExchange(pipe, Frame(c.payload));
    EXPECT_TRUE(reply.bytes == c.reply) << ::testing::PrintToString(reply.bytes);
    EXPECT_EQ(reply.endError, DWORD{ERROR_BROKEN_PIPE});  // closed once the reply is out
    EXPECT_EQ(service.Logged(), std::vector<std::string>{c.payload});
  }
}

// How each run ends, and what it leaves registered below an SP root of
// this test's own: the exit code says 0 done, 1 failed. A second
// unregistration is checked with the service library; a bad command line
// fails any test that passes it.
TEST(SampleService, EndsAsAskedAndLeavesTheRegistrationAsAsked) {
  const std::wstring root = L"SOFTWARE\\ZxSampleServiceTests\\" + UniqueName(L"root");
  const std::wstring taken = UniqueName(L"zxsample");
  SampleServiceProcess holder(L"--pipe " + taken);
  ASSERT_TRUE(holder.Started());
  const struct Case {
    std::wstring options;
    int exchanges;
    bool stopped;
    DWORD exitCode;
    bool registeredAfter;
  } cases[] = {
      {L"--max-requests 3", 3, false, 0, false},
      {L"--segment svc", 1, true, 0, true},
      {L"--unregister --segment svc", 0, false, 0, false},
      {L"--segment svc --unregister-at-exit", 1, true, 0, false},
      {L"--pipe " + taken, 0, false, 1, false},
      {L"--reply file C:\\no\\such\\reply.bin", 0, false, 1, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.options));
    const std::wstring pipe = UniqueName(L"zxsample"), stop = UniqueName(L"zx-stop");
    UniqueHandle stopEvent(CreateEventW(nullptr, TRUE, FALSE, stop.c_str()));
    SampleServiceProcess run(L"--pipe " + pipe + L" --sp-root " + root + L" --stop-event " + stop +
                             L" " + c.options);
    std::wstring path = kPipePathPrefix + pipe;  // or where the registration leads
    if (c.options.find(L"--segment") != std::wstring::npos) {
      LookupPipeName(root + L"\\", L"svc", path);
    }
    for (int i = 0; i < c.exchanges; ++i) {
      EXPECT_EQ(RawExchange(path, Frame("/svc?json=1")).bytes,
                Frame("{\"path\":\"/svc\",\"json\":1}"));
    }
    if (c.stopped) SetEvent(stopEvent.Get());
    EXPECT_EQ(run.WaitForExit(30000), c.exitCode);
    UniqueRegKey key;
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, (root + L"\\svc").c_str(), 0, KEY_READ,
                            key.Put()) == ERROR_SUCCESS,
              c.registeredAfter);
  }
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\ZxSampleServiceTests");
}

}  // namespace
}  // namespace zx::test
