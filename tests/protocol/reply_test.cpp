// What comes back: the reply frame gathered from the pieces the pipe hands
// over, and the error code a reply may carry as the request object reads
// it, found in the UTF-8 bytes and then read as the runtime's _wtoi reads text.
#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "protocol/error_code.h"
#include "protocol/reply_frame_reader.h"
#include "protocol/result_codes.h"
#include "protocol/wide_to_int.h"

namespace zx {
namespace {

using namespace std::string_view_literals;

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

// Any split of a frame is checked by reply_frame_reader_fuzzer; here is
// each state once, each side of the cap, and a failure that stays.
TEST(ReplyFrameReader, ReportsEachPieceAndWhatItStillWants) {
  const struct {
    std::uint32_t cap;
    std::vector<std::string> pieces;
    std::vector<S> statuses;          // after each piece
    std::vector<std::size_t> wanted;  // after each piece
  } cases[] = {
      {kCap,
       {"\3", std::string(2, '\0'), std::string(1, '\0'), "a", "bc", ""},
       {S::kNeedMore, S::kNeedMore, S::kLengthKnown, S::kNeedMore, S::kComplete, S::kComplete},
       {3, 1, 3, 2, 0, 0}},
      {kCap, {Frame("abc"), "d", ""}, {S::kComplete, S::kOverlong, S::kOverlong}, {0, 0, 0}},
      {kCap, {Frame("a", 99), std::string(99, 'b')}, {S::kLengthKnown, S::kOverlong}, {98, 0}},
      {kCap, {std::string(4, '\0'), "x"}, {S::kEmptyReply, S::kEmptyReply}, {0, 0}},
      {kCap, {Frame(std::string(0x80, 'r'))}, {S::kComplete}, {0}},  // a length byte above 0x7F
      {5, {Frame("12345")}, {S::kComplete}, {0}},
      {5, {Frame("123456")}, {S::kTooLarge}, {0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pieces.front().substr(0, 16));
    ReplyFrameReader reader(c.cap);
    for (std::size_t i = 0; i < c.pieces.size(); ++i) {
      EXPECT_EQ(reader.Feed(c.pieces[i]), c.statuses[i]) << "piece " << i;
      EXPECT_EQ(reader.BytesWanted(), c.wanted[i]) << "piece " << i;
    }
    if (c.statuses.back() != S::kComplete) {
      EXPECT_LT(reader.TakeBody().capacity(), 64u) << "a failed reply keeps no buffer";
    }
  }
}

// Memory follows what arrives: an announcement alone takes one growth step
// at most; beyond it the buffer doubles, never past the announced length.
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
}

// What a service writes past its frame does not belong to the reply.
TEST(ReplyFrameReader, FeedFrameBytesDropsWhatFollowsTheFrame) {
  ReplyFrameReader reader(kCap);
  EXPECT_EQ(FeedFrameBytes(reader, Frame("ab").substr(0, 5)), S::kNeedMore);
  EXPECT_EQ(FeedFrameBytes(reader, "b and more"), S::kComplete);
  EXPECT_EQ(reader.TakeBody(), "ab");
}

// Found in the bytes, without decoding them: the text ends at a zero byte.
// The error_code fuzzer checks any text against a reference.
TEST(ReplyErrorCode, IsTheValueAfterTheFirstMarkerUpToTheNextQuote) {
  const struct {
    std::string_view reply;
    std::optional<std::string_view> value;
  } cases[] = {
      {R"({"x":1,"error_code":"7","y":2})", "7"},
      {R"("error_code":"1" "error_code":"2")", "1"},
      {R"("error_code":"-5)", "-5"},
      {"x\0\"error_code\":\"1\""sv, std::nullopt},
      {R"({"error_code":-5})", std::nullopt},
      {R"({"ERROR_CODE":"1"})", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(FindReplyErrorCodeBytes(c.reply), c.value) << c.reply;
}

TEST(ReplyErrorCode, OnlyTheTwoLostConnectionCodesCount) {
  for (const std::int32_t code : {-536150015, -536084476}) EXPECT_TRUE(IsLostConnectionCode(code));
  for (const std::int32_t code : {0, result::kSyncReadFailed, result::kAsyncNoPipeInstance}) {
    EXPECT_FALSE(IsLostConnectionCode(code)) << code;
  }
}

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

TEST(WideToInt, ReadsLikeTheRuntime) {
  const struct {
    std::u16string_view text;
    std::int32_t value;
  } cases[] = {
      // One optional sign, then digits up to the first other character.
      {u"+42", 42},
      {u"--42", 0},
      {u"12abc", 12},
      // Leading white space as the runtime knows it; U+0085 is a control
      // character to it.
      {u" \t\n\v\f\r-5", -5},
      {u"\u00A0\u3000\u2003\u20285", 5},
      {u"\u00855", 0},
      // Out of range: clamped.
      {u"2147483647", kMax},
      {u"2147483648", kMax},
      {u"-2147483648", kMin},
      {u"-2147483649", kMin},
      {u"99999999999999999999999999", kMax},
      // Decimal digits of other scripts; a full-width colon is no digit.
      {u"\uFF11\uFF19", 19},
      {u"-\u0661\u0967\u1819", -119},  // Arabic-Indic, Devanagari, Mongolian
      {u"\uFF1A", 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(WideToInt(c.text), c.value) << std::string(c.text.begin(), c.text.end());
  }
}

}  // namespace
}  // namespace zx
