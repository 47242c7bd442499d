// The error code a reply may carry, as the request object reads it: found
// in the UTF-8 bytes, then read as the runtime's _wtoi reads text.
#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>

#include "protocol/error_code.h"
#include "protocol/result_codes.h"
#include "protocol/wide_to_int.h"

namespace zx {
namespace {

using namespace std::string_view_literals;

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

// Found in the bytes, without decoding them: the text ends at a zero byte.
TEST(ReplyErrorCode, IsTheValueAfterTheFirstMarkerUpToTheNextQuote) {
  const struct {
    std::string_view reply;
    std::optional<std::string_view> value;
  } cases[] = {
      {R"({"error_code":"-536150015"})", "-536150015"}, {R"({"x":1,"error_code":"7","y":2})", "7"},
      {R"("error_code":"1" "error_code":"2")", "1"},    {R"("error_code":"12"34)", "12"},
      {R"("error_code":"-5)", "-5"},                    {R"("error_code":")", ""},
      {R"("error_code":"")", ""},                       {"\"error_code\":\"-5\0\"3"sv, "-5"},
      {"", std::nullopt},                               {"{}", std::nullopt},
      {R"("error_code":)", std::nullopt},               {R"({"error_code":-5})", std::nullopt},
      {R"({"error_code": "1"})", std::nullopt},         {R"({"ERROR_CODE":"1"})", std::nullopt},
      {"x\0\"error_code\":\"1\""sv, std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(FindReplyErrorCodeBytes(c.reply), c.value) << c.reply;
}

TEST(ReplyErrorCode, OnlyTheTwoLostConnectionCodesCount) {
  for (const std::int32_t code : {-536150015, -536084476}) EXPECT_TRUE(IsLostConnectionCode(code));
  for (const std::int32_t code : {0, result::kSyncOpenRetriesExhausted, result::kSyncReadFailed,
                                  result::kAsyncNoPipeInstance}) {
    EXPECT_FALSE(IsLostConnectionCode(code)) << code;
  }
}

TEST(WideToInt, ReadsLikeTheRuntime) {
  const struct {
    std::u16string_view text;
    std::int32_t value;
  } cases[] = {
      // One optional sign, then digits up to the first other character.
      {u"42", 42}, {u"+42", 42}, {u"-42", -42}, {u"-0", 0}, {u"--42", 0}, {u"+-42", 0}, {u"-", 0},
      {u"", 0}, {u"- 42", 0}, {u"12abc", 12}, {u"4 2", 4}, {u"1.9", 1}, {u"0x1A", 0}, {u"abc", 0},
      {std::u16string_view(u"7\0" u"8", 3), 7},
      // Leading white space as the runtime knows it; U+0085 is a control
      // character to it and a zero-width space is no space.
      {u" \t\n\v\f\r-5", -5}, {u"\u00A05", 5}, {u"\u3000\u2003\u20285", 5}, {u"\u00855", 0},
      {u"\u200B5", 0},
      // Out of range: clamped.
      {u"2147483647", kMax}, {u"2147483648", kMax}, {u"-2147483648", kMin}, {u"-2147483649", kMin},
      {u"99999999999999999999999999", kMax}, {u"-99999999999999999999999999", kMin},
      {u"0000000000000000000000000042", 42}, {u"3758882820", kMax},
      // Decimal digits of other scripts: full-width, Arabic-Indic,
      // Devanagari, Mongolian; a full-width colon follows the full-width nine.
      {u"\uFF11\uFF19", 19}, {u"-\u0661\u0669", -19}, {u"1\u0967\u1819", 119}, {u"\uFF1A", 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(WideToInt(c.text), c.value) << std::string(c.text.begin(), c.text.end());
  }
}

}  // namespace
}  // namespace zx
