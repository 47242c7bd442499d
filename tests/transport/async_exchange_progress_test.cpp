// The progress of one asynchronous exchange: how the request frame goes out
// and in which pieces the reply is read.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "protocol/request_frame.h"
#include "transport/exchange_progress.h"

namespace zx {
namespace {

std::string Frame(std::uint32_t announced, const std::string& body) {
  std::string frame(kFrameLengthSize, '\0');
  StoreFrameLength(announced, frame.data());
  return frame + body;
}

// The pipe takes the frame in writes of the given sizes; the last may claim
// more than was left. The frame is out, and its memory given back, only
// once every byte has gone.
TEST(AsyncExchangeProgress, RequestGoesOutOverAsManyWritesAsThePipeTakes) {
  const std::string frame = Frame(14, "/svc/q?json={}");
  const std::vector<std::uint32_t> writes[] = {{18}, {5, 1, 12}, {17, 100}};
  for (const std::vector<std::uint32_t>& sizes : writes) {
    SCOPED_TRACE(::testing::PrintToString(sizes));
    ExchangeProgress progress(frame);
    std::size_t sent = 0;
    for (std::size_t i = 0; i + 1 < sizes.size(); ++i) {
      EXPECT_EQ(progress.OnWritten(sizes[i]), ExchangeEvent::kWriteMore);
      EXPECT_EQ(progress.PendingWrite(), frame.substr(sent += sizes[i]));
    }
    EXPECT_EQ(progress.OnWritten(sizes.back()), ExchangeEvent::kReadMore);
    EXPECT_EQ(progress.PendingWrite(), "");
    EXPECT_EQ(progress.ReadSize(), kFrameLengthSize);  // the reply's length comes first
  }
}

// Each row: the announced length and the body that follows, the pieces the
// pipe hands over (0: exactly the size asked for), the sizes asked for and
// the events.
TEST(AsyncExchangeProgress, ReadsThePieceSizesItAsksForAndReportsTheEnd) {
  using Event = ExchangeEvent;
  constexpr Event kMore = Event::kReadMore, kLength = Event::kLengthKnown, kDone = Event::kComplete;
  const struct Case {
    std::uint32_t announced;
    std::size_t bodySize;
    std::vector<std::size_t> pieces, asked;
    std::vector<Event> events;
  } cases[] = {
      {4096, 4096, {0, 0}, {4, 4096}, {kLength, kDone}},
      {5000, 5000, {1, 3, 1000, 0}, {4, 3, 4096, 4000}, {kMore, kLength, kMore, kDone}},
      {0, 0, {0}, {4}, {Event::kEmptyReply}},
      {3, 5, {4, 5}, {4, 3}, {kLength, Event::kOverlong}},
      {0xFFFFFFF0u, 1, {0}, {4}, {Event::kOutOfMemory}},  // beyond what the process holds
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.announced);
    const std::string reply = Frame(c.announced, std::string(c.bodySize, 'b'));
    ExchangeProgress progress("x");
    progress.OnWritten(1);
    std::vector<std::size_t> asked;
    std::vector<Event> events;
    std::size_t at = 0;
    for (std::size_t piece : c.pieces) {
      asked.push_back(progress.ReadSize());
      const std::size_t size = piece ? piece : progress.ReadSize();
      events.push_back(progress.OnRead(std::string_view(reply).substr(at, size)));
      at += size;
    }
    EXPECT_EQ(asked, c.asked);
    EXPECT_EQ(events, c.events);
    EXPECT_EQ(progress.ReadSize(), 0u);
    if (events.back() != kDone) continue;
    EXPECT_EQ(progress.TakeResponse(), reply.substr(4));
  }
}

}  // namespace
}  // namespace zx
