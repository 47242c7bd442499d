#include "request/error_code.h"

#include <gtest/gtest.h>

#include "request/result_codes.h"

namespace zx {
namespace {

TEST(ReplyErrorCode, NumberAfterTheMarkerIsRead) {
  EXPECT_EQ(FindReplyErrorCode(u"{\"error_code\":\"-536150015\"}"), -536150015);
  EXPECT_EQ(FindReplyErrorCode(u"{\"x\":1,\"error_code\":\"-536084476\",\"y\":2}"), -536084476);
  EXPECT_EQ(FindReplyErrorCode(u"{\"error_code\":\" 7\"}"), 7);
  EXPECT_EQ(FindReplyErrorCode(u"\"error_code\":\"1\" \"error_code\":\"2\""), 1);
}

TEST(ReplyErrorCode, ValueEndsAtTheNextQuoteOrTextEnd) {
  EXPECT_EQ(FindReplyErrorCode(u"\"error_code\":\"12\"34"), 12);
  EXPECT_EQ(FindReplyErrorCode(u"\"error_code\":\"-536150015"), -536150015);
  EXPECT_EQ(FindReplyErrorCode(u"\"error_code\":\""), 0);  // marker at the very end
  EXPECT_EQ(FindReplyErrorCode(u"\"error_code\":\"\""), 0);
}

TEST(ReplyErrorCode, WithoutTheExactMarkerNothingIsRead) {
  EXPECT_EQ(FindReplyErrorCode(u""), std::nullopt);
  EXPECT_EQ(FindReplyErrorCode(u"{}"), std::nullopt);  // shorter than the marker
  EXPECT_EQ(FindReplyErrorCode(u"\"error_code\":"), std::nullopt);
  EXPECT_EQ(FindReplyErrorCode(u"{\"error_code\":-536150015}"), std::nullopt);
  EXPECT_EQ(FindReplyErrorCode(u"{\"error_code\": \"-536150015\"}"), std::nullopt);
  EXPECT_EQ(FindReplyErrorCode(u"{\"ERROR_CODE\":\"-536150015\"}"), std::nullopt);
}

TEST(ReplyErrorCode, OnlyTheTwoLostConnectionCodesCount) {
  EXPECT_TRUE(IsLostConnectionCode(-536150015));
  EXPECT_TRUE(IsLostConnectionCode(-536084476));
  EXPECT_TRUE(IsLostConnectionCode(result::kServiceConnectionLost));
  EXPECT_FALSE(IsLostConnectionCode(0));
  EXPECT_FALSE(IsLostConnectionCode(result::kSyncReadFailed));
  EXPECT_FALSE(IsLostConnectionCode(result::kAsyncNoPipeInstance));
  // Written unsigned, the code clamps to INT32_MAX as the runtime reads it.
  EXPECT_FALSE(IsLostConnectionCode(*FindReplyErrorCode(u"\"error_code\":\"3758882820\"")));
}

}  // namespace
}  // namespace zx
