// The sample service's request log: what the tests read to see exactly what
// a client sent.
#include <gtest/gtest.h>

#include "support/raw_pipe_client.h"
#include "service_child.h"

namespace zx::test {
namespace {

using namespace std::string_literals;

std::string AllByteValues() {
  std::string bytes;
  for (int value = 0; value < 256; ++value) bytes += static_cast<char>(value);
  return bytes;
}

std::vector<std::string> Records(const TempFile& log) { return ReadRequestLog(log.Path()); }

TEST(SampleServiceLog, HoldsEachPayloadByteExactOnceTheReplyArrived) {
  const std::string payloads[] = {
      "/svc/query?json={}",
      "/svc/bin?json=" + AllByteValues(),
      "",
      "/svc/big?json=" + std::string(1 << 20, '7'),
      "/svc/zero?json=\0\0"s,
  };
  TempFile log(L"zxsample-log");
  SampleService service({L"--log", log.Path()});
  ASSERT_TRUE(service.Ready());
  std::vector<std::string> sent;
  for (const std::string& payload : payloads) {
    RawReply reply = RawExchange(service.PipePath(), Frame(payload), ReadUntil::kFrameEnds);
    ASSERT_EQ(reply.endError, DWORD{ERROR_SUCCESS});
    sent.push_back(payload);
    EXPECT_TRUE(Records(log) == sent) << "after " << sent.size() << " requests";
  }
}

TEST(SampleServiceLog, AppendsToWhatTheFileHeld) {
  TempFile log(L"zxsample-log");
  ASSERT_TRUE(WriteFileBytes(log.Path(), Frame("earlier")));
  SampleService service({L"--log", log.Path()});
  ASSERT_TRUE(service.Ready());
  ASSERT_EQ(RawExchange(service.PipePath(), Frame("/svc/q?json=1")).connectError,
            DWORD{ERROR_SUCCESS});
  EXPECT_EQ(Records(log), (std::vector<std::string>{"earlier", "/svc/q?json=1"}));
}

TEST(SampleServiceLog, IncompleteRequestsAreNotLogged) {
  TempFile log(L"zxsample-log");
  SampleService service({L"--log", log.Path()});
  ASSERT_TRUE(service.Ready());
  EXPECT_EQ(RawSendAndHangUp(service.PipePath(), "\x0a\0\0\0abc"s), DWORD{ERROR_SUCCESS});
  EXPECT_EQ(RawSendAndHangUp(service.PipePath(), "\x02\0"s), DWORD{ERROR_SUCCESS});
  RawReply good = RawExchange(service.PipePath(), Frame("/svc/q?json=2"));
  EXPECT_EQ(good.bytes, Frame("{\"path\":\"/svc/q\",\"json\":2}"));
  EXPECT_EQ(Records(log), std::vector<std::string>{"/svc/q?json=2"});
}

}  // namespace
}  // namespace zx::test
