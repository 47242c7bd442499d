#include "transport/sync_pipe_client.h"

#include <gtest/gtest.h>

#include <string>

#include "protocol/result_codes.h"
#include "test_pipe_server.h"

namespace zx {
namespace {

constexpr std::string_view kPath = "/svc/query";
constexpr std::string_view kJson = "{\"a\":1}";

std::string Frame(std::string_view payload) {
  return LengthField(static_cast<std::uint32_t>(payload.size())) + std::string(payload);
}

// Bytes 0, 1, 2, ... 255, 0, 1, ...: zero bytes included.
std::string Pattern(size_t size) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i);
  return bytes;
}

TEST(Transact, SendsOneFrameAndReadsAReplyThatArrivesInPieces) {
  const std::string body = Pattern(10000);
  std::string request;
  std::string reply = "previous";
  {
    TestPipeServer server([&](HANDLE pipe) {
      request = ReadFrame(pipe);
      WriteBytes(pipe, LengthField(static_cast<std::uint32_t>(body.size())));
      for (size_t at = 0; at < body.size(); at += 4000) {
        Sleep(10);  // lets the client see the pieces separately
        WriteBytes(pipe, std::string_view(body).substr(at, 4000));
      }
      WaitForClientToClose(pipe);
    });
    SyncPipeClient client;
    ASSERT_EQ(S_OK, Transact(client, server.Path(), kPath, kJson, reply));
    EXPECT_EQ(server.Path(), client.name);
    EXPECT_TRUE(client.pipe) << "the connection stays open until the client goes";
  }
  EXPECT_EQ(body, reply);
  EXPECT_EQ(std::string("\x17\0\0\0/svc/query?json={\"a\":1}", 27), request);
}

TEST(Transact, JsonIsSentWholeZeroBytesIncluded) {
  std::string request;
  std::string reply;
  {
    TestPipeServer server([&](HANDLE pipe) {
      request = ReadFrame(pipe);
      WriteBytes(pipe, Frame("ok"));
      WaitForClientToClose(pipe);
    });
    SyncPipeClient client;
    ASSERT_EQ(S_OK, Transact(client, server.Path(), "/p", std::string_view("{}\0junk", 7), reply));
  }
  EXPECT_EQ("ok", reply);
  EXPECT_EQ(Frame(std::string("/p?json={}\0junk", 15)), request);
}

TEST(Transact, ZeroReplyLengthFailsAndDropsTheConnection) {
  TestPipeServer server([](HANDLE pipe) {
    ReadFrame(pipe);
    WriteBytes(pipe, LengthField(0));
    WaitForClientToClose(pipe);
  });
  SyncPipeClient client;
  std::string reply = "previous";
  EXPECT_EQ(result::kSyncEmptyReply, Transact(client, server.Path(), kPath, kJson, reply));
  EXPECT_FALSE(client.pipe);
  EXPECT_EQ("previous", reply);
}

TEST(Transact, ConnectionClosedBeforeTheWholeReplyFailsAsReadError) {
  const std::string partialReplies[] = {
      "",                                           // nothing at all
      std::string("\x05\0", 2),                     // half a length field
      LengthField(100) + std::string(10, 'x'),      // a tenth of the body
  };
  for (const std::string& partial : partialReplies) {
    TestPipeServer server([&](HANDLE pipe) {
      ReadFrame(pipe);
      if (!partial.empty()) WriteBytes(pipe, partial);
    });
    SyncPipeClient client;
    std::string reply = "previous";
    EXPECT_EQ(result::kSyncReadFailed, Transact(client, server.Path(), kPath, kJson, reply))
        << partial.size() << " bytes before closing";
    EXPECT_FALSE(client.pipe);
    EXPECT_EQ("previous", reply);
  }
}

TEST(Transact, ServiceGoneBeforeTheRequestIsWrittenFailsAsWriteError) {
  TestPipeServer server([](HANDLE) {});  // closes as soon as the client connects
  // More than the pipe can buffer, so the write cannot complete unread.
  const std::string json(1 << 20, 'j');
  SyncPipeClient client;
  std::string reply = "previous";
  EXPECT_EQ(result::kSyncWriteFailed, Transact(client, server.Path(), kPath, json, reply));
  EXPECT_FALSE(client.pipe);
  EXPECT_EQ("previous", reply);
}

TEST(Transact, MissingInputFailsBeforeAnyConnection) {
  TestPipeServer server([](HANDLE pipe) { WaitForClientToClose(pipe); });
  struct Case {
    std::wstring pipePath;
    std::string_view pathText, json;
  } const cases[] = {
      {L"", kPath, kJson},
      {server.Path(), "", kJson},
      {server.Path(), kPath, ""},
  };
  for (const Case& input : cases) {
    SyncPipeClient client;
    std::string reply = "previous";
    EXPECT_EQ(result::kSyncMissingInput,
              Transact(client, input.pipePath, input.pathText, input.json, reply));
    EXPECT_EQ(L"", client.name);
    EXPECT_FALSE(client.pipe);
    EXPECT_EQ("previous", reply);
  }
  EXPECT_FALSE(server.Connected());
}

TEST(Transact, PipeThatRefusesEveryOpenFailsAfterTheRetries) {
  // An inbound-only pipe exists but refuses a client that also wants to read.
  TestPipeServer server([](HANDLE) {}, PIPE_ACCESS_INBOUND);
  SyncPipeClient client;
  std::string reply = "previous";
  EXPECT_EQ(result::kSyncOpenRetriesExhausted,
            Transact(client, server.Path(), kPath, kJson, reply));
  EXPECT_FALSE(client.pipe);
  EXPECT_EQ("previous", reply);
  EXPECT_FALSE(server.Connected());
}

TEST(Transact, PipeWithoutInstanceFailsWithoutOpening) {
  SyncPipeClient client;
  std::string reply = "previous";
  EXPECT_EQ(result::kSyncNoPipeInstance,
            Transact(client, TestPipeServer::UnusedPath(), kPath, kJson, reply));
  EXPECT_FALSE(client.pipe);
  EXPECT_EQ("previous", reply);
}

}  // namespace
}  // namespace zx
