// How the sample service serves: always listening, concurrent connections,
// its limits and its failures.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "support/raw_pipe_client.h"
#include "service_child.h"

namespace zx::test {
namespace {

std::string EchoFrameOf(const std::string& path, const std::string& json) {
  return Frame("{\"path\":\"" + path + "\",\"json\":" + json + "}");
}

// Each of count exchanges with its own payload; the number that failed.
int FailedExchanges(const std::wstring& pipePath, const std::string& tag, int count) {
  int failed = 0;
  for (int i = 0; i < count; ++i) {
    std::string json = "[\"" + tag + "\"," + std::to_string(i) + "]";
    RawReply reply = RawExchange(pipePath, Frame("/svc/n?json=" + json));
    if (reply.connectError != ERROR_SUCCESS || reply.bytes != EchoFrameOf("/svc/n", json)) {
      ++failed;
    }
  }
  return failed;
}

TEST(SampleServiceServing, EveryClientInARowFindsTheListeningPipe) {
  SampleService service;
  ASSERT_TRUE(service.Ready());
  EXPECT_EQ(FailedExchanges(service.PipePath(), "row", 300), 0);
}

TEST(SampleServiceServing, ConcurrentClientsEachGetTheirOwnReply) {
  SampleService service({L"--delay", L"50"});
  ASSERT_TRUE(service.Ready());
  std::atomic<int> failed{0};
  std::vector<std::thread> clients;
  for (int client = 0; client < 8; ++client) {
    clients.emplace_back([&, client] {
      failed += FailedExchanges(service.PipePath(), "client" + std::to_string(client), 10);
    });
  }
  for (std::thread& client : clients) client.join();
  EXPECT_EQ(failed, 0);
}

TEST(SampleServiceServing, EndsWithExitCodeZeroAtItsLimitsOrStopEvent) {
  {
    SampleService service({L"--max-requests", L"3"});
    ASSERT_TRUE(service.Ready());
    EXPECT_EQ(FailedExchanges(service.PipePath(), "limit", 3), 0);
    EXPECT_EQ(service.WaitForExit(), 0u);
  }
  {
    SampleService service({L"--exit-after", L"200"});
    ASSERT_TRUE(service.Ready());
    EXPECT_EQ(service.WaitForExit(), 0u);
  }
  std::wstring stopName = UniqueName(L"zxsample-test-stop");
  UniqueHandle stop(CreateEventW(nullptr, TRUE, FALSE, stopName.c_str()));
  SampleService service({L"--stop-event", stopName});
  ASSERT_TRUE(service.Ready());
  SetEvent(stop.Get());
  EXPECT_EQ(service.WaitForExit(), 0u);
}

TEST(SampleServiceServing, FailsWithoutServingWhatItCannotSetUp) {
  SampleService first;
  ASSERT_TRUE(first.Ready());
  SampleService second({L"--pipe", first.PipeName()});
  EXPECT_FALSE(second.Ready());
  EXPECT_EQ(second.WaitForExit(), 1u);

  SampleService noFile({L"--reply", L"file", L"C:\\no\\such\\reply.bin"});
  EXPECT_FALSE(noFile.Ready());
  EXPECT_EQ(noFile.WaitForExit(), 1u);
  EXPECT_EQ(RunSampleServiceToEnd({L"--bogus"}), 2u);
}

}  // namespace
}  // namespace zx::test
