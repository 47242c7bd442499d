#include "protocol/reply_frame_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace zx {
namespace {

constexpr std::uint32_t kCap = 1 << 20;

std::string Frame(std::string_view body) {
  std::string frame(kFrameLengthSize, '\0');
  StoreFrameLength(static_cast<std::uint32_t>(body.size()), frame.data());
  return frame.append(body);
}

std::vector<ReplyStatus> FeedPieces(ReplyFrameReader& reader, std::string_view frame,
                                    const std::vector<std::size_t>& cuts) {
  std::vector<ReplyStatus> statuses;
  std::size_t from = 0;
  for (const std::size_t to : cuts) {
    statuses.push_back(reader.Feed(frame.substr(from, to - from)));
    from = to;
  }
  return statuses;
}

TEST(ReplyFrameReader, AssemblesTheBodyFromAnySplit) {
  const std::string body("he\0lo", 5);  // a zero byte is ordinary data
  const std::string frame = Frame(body);
  for (std::size_t i = 0; i <= frame.size(); ++i) {
    for (std::size_t j = i; j <= frame.size(); ++j) {
      ReplyFrameReader reader(kCap);
      const auto statuses = FeedPieces(reader, frame, {i, j, frame.size()});
      ASSERT_EQ(statuses.back(), ReplyStatus::kComplete) << i << "," << j;
      // Length reported once, unless the piece completing it also completed the body.
      const std::size_t lengthPieceEnd = i >= 4 ? i : (j >= 4 ? j : frame.size());
      EXPECT_EQ(std::count(statuses.begin(), statuses.end(), ReplyStatus::kLengthKnown),
                lengthPieceEnd < frame.size() ? 1 : 0)
          << i << "," << j;
      EXPECT_EQ(reader.TakeBody(), body);
    }
  }
}

TEST(ReplyFrameReader, OneByteAtATimeAsksForTheRest) {
  const std::string frame = Frame("abc");
  ReplyFrameReader reader(kCap);
  const std::vector<std::size_t> wanted{4, 3, 2, 1, 3, 2, 1};
  const std::vector<ReplyStatus> expected{ReplyStatus::kNeedMore, ReplyStatus::kNeedMore,
                                          ReplyStatus::kNeedMore, ReplyStatus::kLengthKnown,
                                          ReplyStatus::kNeedMore, ReplyStatus::kNeedMore,
                                          ReplyStatus::kComplete};
  for (std::size_t i = 0; i < frame.size(); ++i) {
    EXPECT_EQ(reader.BytesWanted(), wanted[i]);
    EXPECT_EQ(reader.Feed(frame.substr(i, 1)), expected[i]) << i;
  }
  EXPECT_EQ(reader.BytesWanted(), 0u);
  EXPECT_EQ(reader.Feed({}), ReplyStatus::kComplete);
  EXPECT_EQ(reader.TakeBody(), "abc");
}

TEST(ReplyFrameReader, ReadsOfAtMost4096FollowBytesWanted) {
  const std::string frame = Frame(std::string(10000, 'r'));
  ReplyFrameReader reader(kCap);
  std::vector<std::size_t> reads;
  std::size_t offset = 0;
  ReplyStatus status = ReplyStatus::kNeedMore;
  while (reader.BytesWanted() > 0) {
    const std::size_t count = std::min<std::size_t>(reader.BytesWanted(), 4096);
    reads.push_back(count);
    status = reader.Feed(std::string_view(frame).substr(offset, count));
    offset += count;
  }
  EXPECT_EQ(reads, (std::vector<std::size_t>{4, 4096, 4096, 1808}));
  EXPECT_EQ(status, ReplyStatus::kComplete);
  EXPECT_EQ(reader.TakeBody().size(), 10000u);
}

TEST(ReplyFrameReader, ZeroLengthIsAFinalError) {
  ReplyFrameReader reader(kCap);
  EXPECT_EQ(reader.Feed(std::string(4, '\0')), ReplyStatus::kEmptyReply);
  EXPECT_EQ(reader.BytesWanted(), 0u);
  EXPECT_EQ(reader.Feed("x"), ReplyStatus::kEmptyReply);
  ReplyFrameReader split(kCap);
  EXPECT_EQ(split.Feed(std::string(3, '\0')), ReplyStatus::kNeedMore);
  EXPECT_EQ(split.Feed(std::string(1, '\0')), ReplyStatus::kEmptyReply);
}

TEST(ReplyFrameReader, AnnouncedLengthAboveTheCapIsRefused) {
  ReplyFrameReader huge(kCap);
  EXPECT_EQ(huge.Feed("\xFF\xFF\xFF\xFF"), ReplyStatus::kTooLarge);
  EXPECT_EQ(huge.BytesWanted(), 0u);
  EXPECT_EQ(huge.Feed("body"), ReplyStatus::kTooLarge);

  ReplyFrameReader atCap(5);
  EXPECT_EQ(atCap.Feed(Frame("12345")), ReplyStatus::kComplete);
  ReplyFrameReader overCap(5);
  EXPECT_EQ(overCap.Feed(Frame("123456")), ReplyStatus::kTooLarge);
}

// Memory follows what arrives: an announcement alone takes at most one
// growth step, and a reply longer than a step still arrives whole.
TEST(ReplyFrameReader, BufferGrowsWithTheBytesThatArrive) {
  char length[kFrameLengthSize];
  StoreFrameLength(kMaxReplyLength, length);
  ReplyFrameReader announcedOnly;
  EXPECT_EQ(announcedOnly.Feed(std::string(length, kFrameLengthSize) + "abc"),
            ReplyStatus::kLengthKnown);
  EXPECT_LE(announcedOnly.TakeBody().capacity(), kReplyGrowthStep);

  const std::string body(kReplyGrowthStep * 2 + 7, 'r');
  const std::string frame = Frame(body);
  ReplyFrameReader large;
  ReplyStatus last = ReplyStatus::kNeedMore;
  for (std::size_t at = 0; at < frame.size(); at += 1 << 20) {
    last = large.Feed(std::string_view(frame).substr(at, 1 << 20));
  }
  EXPECT_EQ(last, ReplyStatus::kComplete);
  EXPECT_TRUE(large.TakeBody() == body);

  ReplyFrameReader overCeiling;
  StoreFrameLength(kMaxReplyLength + 1, length);
  EXPECT_EQ(overCeiling.Feed(std::string_view(length, kFrameLengthSize)), ReplyStatus::kTooLarge);
}

TEST(ReplyFrameReader, BytesBeyondTheAnnouncedLengthAreRefused) {
  ReplyFrameReader sameFeed(kCap);
  EXPECT_EQ(sameFeed.Feed(Frame("abc") + "d"), ReplyStatus::kOverlong);
  EXPECT_EQ(sameFeed.Feed({}), ReplyStatus::kOverlong);

  ReplyFrameReader laterFeed(kCap);
  EXPECT_EQ(laterFeed.Feed(Frame("abc")), ReplyStatus::kComplete);
  EXPECT_EQ(laterFeed.Feed("d"), ReplyStatus::kOverlong);

  ReplyFrameReader inBody(kCap);
  EXPECT_EQ(inBody.Feed(Frame("abc").substr(0, 5)), ReplyStatus::kLengthKnown);
  EXPECT_EQ(inBody.Feed("bcd"), ReplyStatus::kOverlong);
}

}  // namespace
}  // namespace zx
