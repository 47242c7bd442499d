// The synchronous exchange on its own. How it answers each way a service
// fails is the fault-injection table's (tests/reliability); here: requests
// and replies whole whatever their bytes and size, and the failures no
// service can cause.
#include "transport/sync_pipe_client.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "harness/sample_service_process.h"
#include "protocol/result_codes.h"

namespace zx {
namespace {

using namespace std::string_literals;
using test::UniqueName;

std::wstring PipePath(const std::wstring& name) { return L"\\\\.\\Pipe\\" + name; }

// The JSON goes out zero bytes included; a reply far beyond one read
// (64 KiB) comes back whole.
TEST(Transact, SendsTheRequestAndReadsTheReplyWhole) {
  const std::wstring pipe = UniqueName(L"zx-sync");
  test::TempFile log(L"zx-sync-log");
  test::SampleServiceProcess service(L"--pipe " + pipe + L" --size 16777216 --log \"" + log.Path() +
                                     L"\"");
  ASSERT_TRUE(service.Started());
  SyncPipeClient client;
  std::string reply;
  ASSERT_EQ(Transact(client, PipePath(pipe), "/svc/query", "\"\0\xff\""s, reply), S_OK);
  EXPECT_EQ(client.name, PipePath(pipe));
  EXPECT_TRUE(client.pipe) << "the connection stays open until the client goes";
  std::string echo;
  while (echo.size() < reply.size()) echo += "{\"path\":\"/svc/query\",\"json\":\"\0\xff\"}"s;
  echo.resize(16u << 20);
  EXPECT_TRUE(reply == echo);
  EXPECT_EQ(test::ReadRequestLog(log.Path()),
            std::vector<std::string>{"/svc/query?json=\"\0\xff\""s});
}

TEST(Transact, ServiceGoneBeforeTheRequestIsReadFailsAsWriteError) {
  const std::wstring path = PipePath(UniqueName(L"zx-sync"));
  UniqueFile pipe(CreateNamedPipeW(path.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE | PIPE_WAIT, 1,
                                   4096, 4096, 0, nullptr));
  std::thread service([&] {
    ConnectNamedPipe(pipe.Get(), nullptr);
    pipe.Reset();
  });
  SyncPipeClient client;
  std::string reply = "previous";
  // More than the pipe can buffer, so the write cannot complete unread.
  EXPECT_EQ(Transact(client, path, "/svc/query", std::string(1 << 20, 'j'), reply),
            result::kSyncWriteFailed);
  service.join();
  EXPECT_FALSE(client.pipe);
  EXPECT_EQ(reply, "previous");
}

TEST(Transact, MissingInputFailsBeforeAnyConnection) {
  SyncPipeClient client;
  std::string reply = "previous";
  const std::wstring path = PipePath(UniqueName(L"zx-sync"));
  EXPECT_EQ(Transact(client, L"", "/svc/query", "1", reply), result::kSyncMissingInput);
  EXPECT_EQ(Transact(client, path, "", "1", reply), result::kSyncMissingInput);
  EXPECT_EQ(Transact(client, path, "/svc/query", "", reply), result::kSyncMissingInput);
  EXPECT_EQ(client.name, L"");
  EXPECT_EQ(reply, "previous");
}

}  // namespace
}  // namespace zx
