// Every reply mode of the sample service, checked byte for byte on the wire.
#include <gtest/gtest.h>

#include "support/raw_pipe_client.h"
#include "service_child.h"
#include "transport/sync_pipe_client.h"

namespace zx::test {
namespace {

using namespace std::string_literals;

const std::string kRequest = "/svc/query?json={\"a\":1}";
const std::string kEchoBody = "{\"path\":\"/svc/query\",\"json\":{\"a\":1}}";
const std::string kFileBody = "0123456789abcdefghijklmnopqrstuvwxyz";

// text repeated to exactly size bytes
std::string Cycle(const std::string& text, size_t size) {
  std::string out;
  while (out.size() < size) out += text.substr(0, size - out.size());
  return out;
}

// What one exchange with a service started with options brings back.
RawReply ReplyOf(std::vector<std::wstring> options, const std::string& payload = kRequest) {
  SampleService service(options);
  EXPECT_TRUE(service.Ready());
  return RawExchange(service.PipePath(), Frame(payload));
}

// Serves kFileBody, written to a scratch file, with further options.
RawReply FileReplyOf(std::vector<std::wstring> options) {
  TempFile file(L"zxsample-reply");
  EXPECT_TRUE(WriteFileBytes(file.Path(), kFileBody));
  options.insert(options.begin(), {L"--reply", L"file", file.Path()});
  return ReplyOf(options);
}

void ExpectClosedAfter(const RawReply& reply, const std::string& bytes) {
  ASSERT_EQ(reply.connectError, DWORD{ERROR_SUCCESS});
  EXPECT_EQ(reply.bytes.size(), bytes.size());
  EXPECT_TRUE(reply.bytes == bytes);
  EXPECT_EQ(reply.endError, DWORD{ERROR_BROKEN_PIPE});
}

TEST(SampleServiceReply, EchoCarriesThePathAndTheJsonAsReceived) {
  const std::pair<std::string, std::string> cases[] = {
      {kRequest, kEchoBody},
      {"/svc/q?json=", "{\"path\":\"/svc/q\",\"json\":}"},
      {"/x?json=1?json=2", "{\"path\":\"/x\",\"json\":1?json=2}"},
      {"/no/separator", "{\"path\":\"/no/separator\",\"json\":null}"},
      {"/q\"uo\\te\x01?json=[\"\\\"]", "{\"path\":\"/q\\\"uo\\\\te\\u0001\",\"json\":[\"\\\"]}"},
      {"/bin?json=\0\xff"s, "{\"path\":\"/bin\",\"json\":\0\xff}"s},
      {"", "{\"path\":\"\",\"json\":null}"},
  };
  SampleService service;
  ASSERT_TRUE(service.Ready());
  for (const auto& [payload, body] : cases) {
    SCOPED_TRACE(payload);
    ExpectClosedAfter(RawExchange(service.PipePath(), Frame(payload)), Frame(body));
  }
}

TEST(SampleServiceReply, FileRepliesWithTheFileBytes) {
  ExpectClosedAfter(FileReplyOf({}), Frame(kFileBody));
}

TEST(SampleServiceReply, SizeRepeatsOrCutsTheBodyToExactlyThatLength) {
  for (size_t size : {size_t{4}, size_t{36}, size_t{37}, size_t{10000}, size_t{1} << 20,
                      size_t{16} << 20}) {
    SCOPED_TRACE(size);
    ExpectClosedAfter(FileReplyOf({L"--size", std::to_wstring(size)}),
                      Frame(Cycle(kFileBody, size)));
  }
  ExpectClosedAfter(ReplyOf({L"--size", L"7"}), Frame(kEchoBody.substr(0, 7)));
  ExpectClosedAfter(ReplyOf({L"--size", L"100"}), Frame(Cycle(kEchoBody, 100)));
}

TEST(SampleServiceReply, ErrorCodeRepliesCarryTheErrorCodeField) {
  ExpectClosedAfter(ReplyOf({L"--reply", L"error-code", L"-536150015"}),
                    Frame("{\"error_code\":\"-536150015\"}"));
  ExpectClosedAfter(ReplyOf({L"--reply", L"error-code", L"0xE00C0004"}),
                    Frame("{\"error_code\":\"-536084476\"}"));
}

TEST(SampleServiceReply, ZeroLengthSendsOnlyALengthOfZero) {
  ExpectClosedAfter(ReplyOf({L"--reply", L"zero-length"}), "\0\0\0\0"s);
}

TEST(SampleServiceReply, BrokenFramesAnnounceMoreThanTheyCarry) {
  const std::uint32_t length = static_cast<std::uint32_t>(kFileBody.size());
  ExpectClosedAfter(FileReplyOf({L"--partial", L"5"}), FrameHeader(length) + kFileBody.substr(0, 5));
  ExpectClosedAfter(FileReplyOf({L"--partial", L"0"}), FrameHeader(length));
  ExpectClosedAfter(FileReplyOf({L"--short", L"3"}), FrameHeader(length + 3) + kFileBody);
  ExpectClosedAfter(FileReplyOf({L"--huge"}), FrameHeader(0xFFFFFFF0u) + kFileBody.substr(0, 16));
}

TEST(SampleServiceReply, WritePatternsAndDelaysDeliverTheSameBytes) {
  const std::vector<std::wstring> options[] = {
      {L"--one-write"},
      {L"--many-writes"},
      {L"--drip", L"3", L"5"},
      {L"--drip", L"1", L"0"},
      {L"--delay", L"300"},
      {L"--delay", L"100", L"--drip", L"1000", L"10"},
  };
  for (const auto& option : options) {
    SCOPED_TRACE(option.front());
    ExpectClosedAfter(ReplyOf(option), Frame(kEchoBody));
  }
  ExpectClosedAfter(ReplyOf({L"--drip", L"2", L"1", L"--partial", L"7"}),
                    FrameHeader(static_cast<std::uint32_t>(kEchoBody.size())) + kEchoBody.substr(0, 7));
  ExpectClosedAfter(ReplyOf({L"--many-writes", L"--huge"}),
                    FrameHeader(0xFFFFFFF0u) + kEchoBody.substr(0, 16));
}

TEST(SampleServiceReply, TheModulesSynchronousExchangeReadsEveryReply) {
  {
    SampleService service;
    ASSERT_TRUE(service.Ready());
    SyncPipeClient client;
    std::string reply;
    ASSERT_EQ(Transact(client, service.PipePath(), "/svc/query", "{\"a\":1}", reply), S_OK);
    EXPECT_EQ(reply, kEchoBody);
  }
  TempFile file(L"zxsample-reply");
  ASSERT_TRUE(WriteFileBytes(file.Path(), kFileBody));
  SampleService service({L"--reply", L"file", file.Path(), L"--size", L"16777216"});
  ASSERT_TRUE(service.Ready());
  SyncPipeClient client;
  std::string reply;
  ASSERT_EQ(Transact(client, service.PipePath(), "/svc/query", "{}", reply), S_OK);
  EXPECT_TRUE(reply == Cycle(kFileBody, 16u << 20));
}

}  // namespace
}  // namespace zx::test
