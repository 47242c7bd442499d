// The synchronous exchange on its own, for the failure no service can cause
// on purpose. How it answers each way a service fails is the
// fault-injection table's (tests/reliability); requests and replies of
// every size and byte are the page scripts' (tests/scripts).
#include "transport/sync_pipe_client.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "harness/sample_service_process.h"
#include "protocol/result_codes.h"

namespace zx {
namespace {

TEST(Transact, ServiceGoneBeforeTheRequestIsReadFailsAsWriteError) {
  const std::wstring path = L"\\\\.\\Pipe\\" + test::UniqueName(L"zx-sync");
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

}  // namespace
}  // namespace zx
