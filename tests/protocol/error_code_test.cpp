#include "protocol/error_code.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>

#include "protocol/result_codes.h"
#include "protocol/wide_to_int.h"

namespace zx {
namespace {

// The code an ASCII reply carries, read as the request object reads it.
std::optional<std::int32_t> CodeOf(std::string_view reply) {
  const std::optional<std::string_view> value = FindReplyErrorCodeBytes(reply);
  if (!value) return std::nullopt;
  return WideToInt(std::u16string(value->begin(), value->end()));
}

TEST(ReplyErrorCode, ValueAfterTheFirstMarkerUpToTheNextQuote) {
  using namespace std::string_view_literals;
  const struct {
    std::string_view reply;
    std::optional<std::int32_t> code;
  } cases[] = {
      {R"({"error_code":"-536150015"})", -536150015},
      {R"({"x":1,"error_code":"-536084476","y":2})", -536084476},
      {R"({"error_code":" 7"})", 7},
      {R"("error_code":"1" "error_code":"2")", 1},
      {R"("error_code":"12"34)", 12},
      {R"("error_code":"-536150015)", -536150015},  // the text ends the value
      {R"("error_code":")", 0},
      {R"("error_code":"")", 0},
      {R"("error_code":"3758882820")", INT32_MAX},  // clamped as the runtime reads it
      {"", std::nullopt},
      {"{}", std::nullopt},
      {R"("error_code":)", std::nullopt},
      {R"({"error_code":-536150015})", std::nullopt},
      {R"({"error_code": "-536150015"})", std::nullopt},
      {R"({"ERROR_CODE":"-536150015"})", std::nullopt},
      {"x\0\"error_code\":\"1\""sv, std::nullopt},  // the text ends at a zero byte
      {"\"error_code\":\"-5\0\"3"sv, -5},
  };
  for (const auto& c : cases) EXPECT_EQ(CodeOf(c.reply), c.code) << c.reply;
}

TEST(ReplyErrorCode, OnlyTheTwoLostConnectionCodesCount) {
  EXPECT_TRUE(IsLostConnectionCode(-536150015));
  EXPECT_TRUE(IsLostConnectionCode(-536084476));
  EXPECT_TRUE(IsLostConnectionCode(result::kServiceConnectionLost));
  EXPECT_FALSE(IsLostConnectionCode(0));
  EXPECT_FALSE(IsLostConnectionCode(result::kSyncReadFailed));
  EXPECT_FALSE(IsLostConnectionCode(result::kAsyncNoPipeInstance));
}

}  // namespace
}  // namespace zx
