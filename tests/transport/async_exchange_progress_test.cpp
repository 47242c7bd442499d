// The progress of one asynchronous exchange: how the request frame goes out
// and in which pieces the reply is read.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "protocol/request_frame.h"
#include "transport/exchange_progress.h"

namespace zx {
namespace {

std::string ReplyFrame(const std::string& body) {
  std::string frame(kFrameLengthSize, '\0');
  StoreFrameLength(static_cast<std::uint32_t>(body.size()), frame.data());
  return frame + body;
}

std::string Body(std::size_t size) {
  std::string body(size, '\0');
  for (std::size_t i = 0; i < size; ++i) body[i] = static_cast<char>('a' + i % 26);
  return body;
}

// Feeds `reply` as the pipe would hand it over when everything has arrived:
// each read gets exactly the size asked for. Returns the sizes asked for.
std::vector<std::size_t> ReadWhole(ExchangeProgress& progress, const std::string& reply,
                                   std::vector<ExchangeEvent>& events) {
  std::vector<std::size_t> sizes;
  for (std::size_t at = 0; progress.ReadSize() > 0 && at < reply.size();) {
    const std::size_t size = progress.ReadSize();
    sizes.push_back(size);
    events.push_back(progress.OnRead(std::string_view(reply).substr(at, size)));
    at += size;
  }
  return sizes;
}

ExchangeProgress Written(const std::string& frame) {
  ExchangeProgress progress(frame);
  progress.OnWritten(static_cast<std::uint32_t>(frame.size()));
  return progress;
}

TEST(AsyncExchangeProgress, RequestGoesOutOverAsManyWritesAsThePipeTakes) {
  const std::string frame = ReplyFrame("/svc/q?json={}");
  ExchangeProgress progress(frame);
  EXPECT_EQ(progress.PendingWrite(), frame);
  EXPECT_EQ(progress.OnWritten(5), ExchangeEvent::kWriteMore);
  EXPECT_EQ(progress.PendingWrite(), frame.substr(5));
  EXPECT_EQ(progress.OnWritten(1), ExchangeEvent::kWriteMore);
  EXPECT_EQ(progress.PendingWrite(), frame.substr(6));
  EXPECT_EQ(progress.OnWritten(static_cast<std::uint32_t>(frame.size() - 6)),
            ExchangeEvent::kReadMore);
  EXPECT_EQ(progress.ReadSize(), kFrameLengthSize);  // the reply's length comes first
}

TEST(AsyncExchangeProgress, ReplyBodyIsReadInPiecesOfAtMost4096Bytes) {
  using Sizes = std::vector<std::size_t>;
  const struct {
    std::size_t bodySize;
    Sizes reads;
  } cases[] = {
      {10000, {4, 4096, 4096, 1808}},
      {4096, {4, 4096}},
      {4097, {4, 4096, 1}},
      {1, {4, 1}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bodySize);
    const std::string body = Body(c.bodySize);
    ExchangeProgress progress = Written("x");
    std::vector<ExchangeEvent> events;
    EXPECT_EQ(ReadWhole(progress, ReplyFrame(body), events), c.reads);
    ASSERT_EQ(events.size(), c.reads.size());
    EXPECT_EQ(events.front(), ExchangeEvent::kLengthKnown);
    EXPECT_EQ(events.back(), ExchangeEvent::kComplete);
    EXPECT_EQ(progress.TakeResponse(), body);
  }
}

TEST(AsyncExchangeProgress, PiecesShorterThanAskedForAreAskedForAgain) {
  const std::string reply = ReplyFrame(Body(5000));
  ExchangeProgress progress = Written("x");
  EXPECT_EQ(progress.OnRead(reply.substr(0, 1)), ExchangeEvent::kReadMore);
  EXPECT_EQ(progress.ReadSize(), 3u);
  EXPECT_EQ(progress.OnRead(reply.substr(1, 3)), ExchangeEvent::kLengthKnown);
  EXPECT_EQ(progress.ReadSize(), 4096u);
  EXPECT_EQ(progress.OnRead(reply.substr(4, 1000)), ExchangeEvent::kReadMore);
  EXPECT_EQ(progress.ReadSize(), 4000u);
  EXPECT_EQ(progress.OnRead(reply.substr(1004)), ExchangeEvent::kComplete);
  EXPECT_EQ(progress.TakeResponse(), reply.substr(4));
}

TEST(AsyncExchangeProgress, BrokenRepliesEndTheExchange) {
  ExchangeProgress empty = Written("x");
  EXPECT_EQ(empty.OnRead(ReplyFrame("")), ExchangeEvent::kEmptyReply);
  EXPECT_EQ(empty.ReadSize(), 0u);

  ExchangeProgress overlong = Written("x");
  const std::string reply = ReplyFrame("abc");
  EXPECT_EQ(overlong.OnRead(reply.substr(0, 4)), ExchangeEvent::kLengthKnown);
  EXPECT_EQ(overlong.OnRead("abcde"), ExchangeEvent::kOverlong);
  EXPECT_EQ(overlong.ReadSize(), 0u);
}

}  // namespace
}  // namespace zx
