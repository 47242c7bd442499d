#include "protocol/form_value.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <optional>
#include <string>

namespace zx {
namespace {

// A heap copy with no terminator and no slack, so a sanitizer sees any
// read past the end.
std::unique_ptr<char[]> ExactCopy(std::string_view text) {
  auto copy = std::make_unique<char[]>(text.size());
  std::memcpy(copy.get(), text.data(), text.size());
  return copy;
}

std::string Decode(std::string_view source, std::ptrdiff_t capacity = 64) {
  auto exact = ExactCopy(source);
  std::string out(static_cast<std::size_t>(capacity), '\x7F');
  const std::ptrdiff_t written =
      PercentDecode(exact.get(), static_cast<std::ptrdiff_t>(source.size()), out.data(), capacity);
  EXPECT_EQ(out[static_cast<std::size_t>(written)], '\0');
  return out.substr(0, static_cast<std::size_t>(written));
}

TEST(FormValue, NameMatchesInAnyCaseAndHexInEitherCase) {
  EXPECT_EQ(FindJsonFormValue("JSON=%7b%7D"), "{}");
  EXPECT_EQ(FindJsonFormValue("Json=%22a%22"), "\"a\"");
  EXPECT_EQ(FindJsonFormValue("json=%7B%22a%22%3A1%7D"), "{\"a\":1}");
}

TEST(FormValue, ParameterStartsAtDataStartOrAfterAmpersandOrQuestionMark) {
  EXPECT_EQ(FindJsonFormValue("xjson=1&json=2"), "2");
  EXPECT_EQ(FindJsonFormValue("/svc/query?x=0&json=1"), "1");
  EXPECT_EQ(FindJsonFormValue("/svc/query?t=1&json=%7B%7D"), "{}");
  EXPECT_EQ(FindJsonFormValue("/svc/query?json=1"), "1");
  EXPECT_EQ(FindJsonFormValue("/svc/query?xjson=1"), std::nullopt);
  EXPECT_EQ(FindJsonFormValue("x=json=1"), std::nullopt);
}

TEST(FormValue, FirstMatchWins) {
  EXPECT_EQ(FindJsonFormValue("json=1&json=2"), "1");
  EXPECT_EQ(FindJsonFormValue("a=b&JSON=first&json=second"), "first");
}

TEST(FormValue, ValueRunsToNextAmpersandOrEnd) {
  EXPECT_EQ(FindJsonFormValue("json=a&b=c"), "a");
  EXPECT_EQ(FindJsonFormValue("json=a=b"), "a=b");
  EXPECT_EQ(FindJsonFormValue("json=&x=1"), "");
  EXPECT_EQ(FindJsonFormValue("json="), "");
  // Counted in bytes: every byte of a non-ASCII value is kept.
  EXPECT_EQ(FindJsonFormValue("a=\xC3\xA9&json=\xC3\xA9\xC3\xA9\xC3\xA9"),
            "\xC3\xA9\xC3\xA9\xC3\xA9");
}

TEST(FormValue, AbsentParameterIsReported) {
  EXPECT_EQ(FindJsonFormValue(""), std::nullopt);
  EXPECT_EQ(FindJsonFormValue("json"), std::nullopt);
  EXPECT_EQ(FindJsonFormValue("jsonx=1"), std::nullopt);
  EXPECT_EQ(FindJsonFormValue("jso=1&son=2"), std::nullopt);
  char out[8] = "unused";
  EXPECT_EQ(FindFormValue("json", "json", 4, out, sizeof out), -1);
  EXPECT_EQ(FindFormValue("json", "json=1", 4, out, sizeof out), -1);  // length bounds the search
}

TEST(FormValue, EscapesDecodeToRawBytesIncludingZero) {
  EXPECT_EQ(Decode("%41%62"), "Ab");
  EXPECT_EQ(Decode("a%00b"), std::string("a\0b", 3));
  EXPECT_EQ(Decode("%E2%82%AC"), "\xE2\x82\xAC");
  EXPECT_EQ(Decode("%ff"), "\xFF");
}

TEST(FormValue, MalformedEscapesAndPlusAreCopiedUnchanged) {
  EXPECT_EQ(Decode("a%2"), "a%2");
  EXPECT_EQ(Decode("a%zz"), "a%zz");
  EXPECT_EQ(Decode("a%2g"), "a%2g");
  EXPECT_EQ(Decode("%%41"), "%A");
  EXPECT_EQ(Decode("a+b"), "a+b");
  EXPECT_EQ(FindJsonFormValue("json=a%2&x=%41"), "a%2");
  EXPECT_EQ(FindJsonFormValue("json=a%zz"), "a%zz");
}

TEST(FormValue, EscapeAtBufferEndIsNotReadPast) {
  EXPECT_EQ(Decode("%"), "%");
  EXPECT_EQ(Decode("ab%"), "ab%");
  EXPECT_EQ(Decode("ab%4"), "ab%4");
  const std::string_view form = "json=ab%";
  auto exact = ExactCopy(form);
  char out[16];
  EXPECT_EQ(
      FindFormValue("json", exact.get(), static_cast<std::ptrdiff_t>(form.size()), out, sizeof out),
      3);
  EXPECT_STREQ(out, "ab%");
  // A value ending inside the data: "&" follows, as the unbounded look-ahead saw.
  EXPECT_EQ(FindJsonFormValue("json=ab%4&x=1"), "ab%4");
}

TEST(FormValue, OutputStaysWithinCapacity) {
  EXPECT_EQ(Decode("abcdef", 4), "abc");
  EXPECT_EQ(Decode("%41%42%43", 3), "AB");
  EXPECT_EQ(Decode("abc", 1), "");
  EXPECT_EQ(Decode("", 4), "");
  char untouched = 'u';
  EXPECT_EQ(PercentDecode("abc", 3, &untouched, 0), 0);
  EXPECT_EQ(untouched, 'u');
  char out[4];
  EXPECT_EQ(FindFormValue("json", "json=abcdef", 11, out, sizeof out), 3);
  EXPECT_STREQ(out, "abc");
}

TEST(FormValue, NameComparisonIsAsciiCaseInsensitiveOnly) {
  EXPECT_EQ(NameEqualsNoCase("json", "JsOn", 4), 0);
  EXPECT_EQ(NameEqualsNoCase("json", "jsonx", 4), 0);
  EXPECT_EQ(NameEqualsNoCase("json", "xyz", 0), 0);
  EXPECT_NE(NameEqualsNoCase("json", "jsoN!", 5), 0);
  EXPECT_NE(NameEqualsNoCase("json", "jsob", 4), 0);
  // Latin-1 upper and lower A-umlaut must not match, whatever the locale.
  EXPECT_NE(NameEqualsNoCase("\xC4", "\xE4", 1), 0);
}

}  // namespace
}  // namespace zx
