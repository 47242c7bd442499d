#include "protocol/reply_frame_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace zx {
namespace {

using S = ReplyStatus;
constexpr std::uint32_t kCap = 1 << 20;

std::string Frame(std::string_view body, std::uint32_t length) {
  std::string frame(kFrameLengthSize, '\0');
  StoreFrameLength(length, frame.data());
  return frame.append(body);
}
std::string Frame(std::string_view body) {
  return Frame(body, static_cast<std::uint32_t>(body.size()));
}

TEST(ReplyFrameReader, AssemblesTheBodyFromAnySplit) {
  const std::string body("he\0lo", 5);  // a zero byte is ordinary data
  const std::string frame = Frame(body);
  for (std::size_t i = 0; i <= frame.size(); ++i) {
    for (std::size_t j = i; j <= frame.size(); ++j) {
      SCOPED_TRACE(std::to_string(i) + "," + std::to_string(j));
      ReplyFrameReader reader(kCap);
      std::vector<S> statuses;
      for (const auto& [from, to] : {std::pair{std::size_t{0}, i}, {i, j}, {j, frame.size()}}) {
        statuses.push_back(reader.Feed(std::string_view(frame).substr(from, to - from)));
      }
      ASSERT_EQ(statuses.back(), S::kComplete);
      // Length reported once, unless the piece bringing it also completed the body.
      const std::size_t lengthPieceEnd = i >= 4 ? i : j >= 4 ? j : frame.size();
      EXPECT_EQ(std::count(statuses.begin(), statuses.end(), S::kLengthKnown),
                lengthPieceEnd < frame.size() ? 1 : 0);
      EXPECT_EQ(reader.TakeBody(), body);
    }
  }
}

// Failures are final.
TEST(ReplyFrameReader, ReportsEachPieceAndWhatItStillWants) {
  const std::string large(1 << 16, 'r');
  const struct {
    std::uint32_t cap;
    std::vector<std::string> pieces;
    std::vector<S> statuses;            // after each piece
    std::vector<std::size_t> wanted;    // after each piece
  } cases[] = {
      {kCap, {"\3", std::string(2, '\0'), std::string(1, '\0'), "a", "b", "c", ""},
       {S::kNeedMore, S::kNeedMore, S::kLengthKnown, S::kNeedMore, S::kNeedMore, S::kComplete,
        S::kComplete},
       {3, 1, 3, 2, 1, 0, 0}},
      {kCap, {Frame("abc") + "d", ""}, {S::kOverlong, S::kOverlong}, {0, 0}},
      {kCap, {Frame("abc"), "d", ""}, {S::kComplete, S::kOverlong, S::kOverlong}, {0, 0, 0}},
      {kCap, {Frame("a", 3), "bcd"}, {S::kLengthKnown, S::kOverlong}, {2, 0}},
      {kCap, {Frame(large.substr(0, 10), large.size()), large}, {S::kLengthKnown, S::kOverlong},
       {large.size() - 10, 0}},
      {kCap, {std::string(4, '\0'), "x"}, {S::kEmptyReply, S::kEmptyReply}, {0, 0}},
      {kCap, {std::string(3, '\0'), std::string(1, '\0')}, {S::kNeedMore, S::kEmptyReply}, {1, 0}},
      {kCap, {"\xFF\xFF\xFF\xFF", "body"}, {S::kTooLarge, S::kTooLarge}, {0, 0}},
      {5, {Frame("12345")}, {S::kComplete}, {0}},
      {5, {Frame("123456")}, {S::kTooLarge}, {0}},
      {kMaxReplyLength, {Frame("", kMaxReplyLength + 1)}, {S::kTooLarge}, {0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pieces.front().substr(0, 16));
    ReplyFrameReader reader(c.cap);
    for (std::size_t i = 0; i < c.pieces.size(); ++i) {
      EXPECT_EQ(reader.Feed(c.pieces[i]), c.statuses[i]) << "piece " << i;
      EXPECT_EQ(reader.BytesWanted(), c.wanted[i]) << "piece " << i;
    }
    const S last = c.statuses.back();
    if (last != S::kComplete && last != S::kNeedMore && last != S::kLengthKnown) {
      EXPECT_LT(reader.TakeBody().capacity(), 64u) << "a failed reply keeps no buffer";
    }
  }
}

// Memory follows what arrives: an announcement alone takes one growth step
// at most; beyond it the buffer doubles, never past the announced length,
// and a reply longer than a step still arrives whole.
TEST(ReplyFrameReader, BufferGrowsWithTheBytesThatArrive) {
  const std::string stepAndOne(kReplyGrowthStep + 1, 'r');
  const struct {
    std::string frame;
    std::size_t capacity;
  } cases[] = {
      {Frame("abc", kMaxReplyLength), kReplyGrowthStep},
      {Frame(stepAndOne, 4 * kReplyGrowthStep), 2 * kReplyGrowthStep},
      {Frame(stepAndOne, kReplyGrowthStep + 5), kReplyGrowthStep + 5},
  };
  for (const auto& c : cases) {
    ReplyFrameReader reader;
    EXPECT_EQ(reader.Feed(c.frame), S::kLengthKnown);
    EXPECT_EQ(reader.TakeBody().capacity(), c.capacity);
  }
  const std::string body(kReplyGrowthStep * 2 + 7, 'r');
  const std::string frame = Frame(body);
  ReplyFrameReader large;
  S last = S::kNeedMore;
  for (std::size_t at = 0; at < frame.size(); at += 1 << 20) {
    last = large.Feed(std::string_view(frame).substr(at, 1 << 20));
  }
  EXPECT_EQ(last, S::kComplete);
  EXPECT_TRUE(large.TakeBody() == body);
}

// What a service writes past its frame does not belong to the reply.
TEST(ReplyFrameReader, FeedFrameBytesDropsWhatFollowsTheFrame) {
  ReplyFrameReader reader(kCap);
  EXPECT_EQ(FeedFrameBytes(reader, ""), S::kNeedMore);
  EXPECT_EQ(FeedFrameBytes(reader, Frame("ab").substr(0, 5)), S::kNeedMore);
  EXPECT_EQ(FeedFrameBytes(reader, "b and more"), S::kComplete);
  EXPECT_EQ(FeedFrameBytes(reader, "still more"), S::kNeedMore);
  EXPECT_EQ(reader.TakeBody(), "ab");
}

}  // namespace
}  // namespace zx
