#include "protocol/wide_to_int.h"

#include <gtest/gtest.h>

#include <limits>

namespace zx {
namespace {

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

TEST(WideToInt, OneOptionalSignThenDigits) {
  EXPECT_EQ(WideToInt(u"42"), 42);
  EXPECT_EQ(WideToInt(u"+42"), 42);
  EXPECT_EQ(WideToInt(u"-42"), -42);
  EXPECT_EQ(WideToInt(u"-0"), 0);
  EXPECT_EQ(WideToInt(u"--42"), 0);
  EXPECT_EQ(WideToInt(u"+-42"), 0);
  EXPECT_EQ(WideToInt(u"-"), 0);
  EXPECT_EQ(WideToInt(u""), 0);
  EXPECT_EQ(WideToInt(u"- 42"), 0);
}

TEST(WideToInt, DigitsStopAtTheFirstOtherCharacter) {
  EXPECT_EQ(WideToInt(u"12abc"), 12);
  EXPECT_EQ(WideToInt(u"4 2"), 4);
  EXPECT_EQ(WideToInt(u"1.9"), 1);
  EXPECT_EQ(WideToInt(u"0x1A"), 0);
  EXPECT_EQ(WideToInt(std::u16string_view(u"7\0"
                                          u"8",
                                          3)),
            7);
  EXPECT_EQ(WideToInt(u"abc"), 0);
}

TEST(WideToInt, LeadingRuntimeWhiteSpaceIsSkipped) {
  EXPECT_EQ(WideToInt(u" \t\n\v\f\r-5"), -5);
  EXPECT_EQ(WideToInt(u"\u00A05"), 5);
  EXPECT_EQ(WideToInt(u"\u3000\u2003\u20285"), 5);
  EXPECT_EQ(WideToInt(u"\u00855"), 0);  // a control character to the runtime
  EXPECT_EQ(WideToInt(u"\u200B5"), 0);  // zero-width space is not white space
}

TEST(WideToInt, OutOfRangeClampsToTheLimits) {
  EXPECT_EQ(WideToInt(u"2147483647"), kMax);
  EXPECT_EQ(WideToInt(u"2147483648"), kMax);
  EXPECT_EQ(WideToInt(u"-2147483648"), kMin);
  EXPECT_EQ(WideToInt(u"-2147483649"), kMin);
  EXPECT_EQ(WideToInt(u"99999999999999999999999999"), kMax);
  EXPECT_EQ(WideToInt(u"-99999999999999999999999999"), kMin);
  EXPECT_EQ(WideToInt(u"0000000000000000000000000042"), 42);
}

TEST(WideToInt, OtherScriptsDecimalDigitsCount) {
  EXPECT_EQ(WideToInt(u"\uFF11\uFF12"), 12);    // full-width
  EXPECT_EQ(WideToInt(u"-\u0661\u0662"), -12);  // Arabic-Indic
  EXPECT_EQ(WideToInt(u"1\u0967\u1819"), 119);  // Devanagari, Mongolian
  EXPECT_EQ(WideToInt(u"\uFF1A"), 0);           // full-width colon follows full-width nine
}

}  // namespace
}  // namespace zx
