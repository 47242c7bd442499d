// The sample service run as a child: its replies byte for byte on the wire
// with the request each one logged, so that the fault-injection tests
// cannot pass on a service that never misbehaved. The failure modes are
// checked there by what the module makes of them; here are their
// combinations. Its registration, stop and install are what every other
// test starts it with; refusals of options that do not go together fail
// the test that passes them.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>

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

}  // namespace
}  // namespace zx::test
