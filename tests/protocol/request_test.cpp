// What a request puts on the pipe: the service and path taken from the URL
// given to `open`, the JSON taken from the form given to `send`, and the
// frame carrying both. form_value_fuzzer checks any form and URL against a
// reference; here is each rule once.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include "protocol/form_value.h"
#include "protocol/request_frame.h"
#include "protocol/request_url.h"

namespace zx {
namespace {

using namespace std::string_view_literals;

std::string Bytes(std::initializer_list<unsigned char> bytes) {
  return {bytes.begin(), bytes.end()};
}

TEST(RequestUrl, SplitsAfterTheFirstExactCasePrefix) {
  const struct {
    std::u16string_view url, path, service;
  } cases[] = {
      {u"http://localhost:9922/zev-cgi-bin/svc/query?x=/1", u"/svc/query", u"svc"},
      {u"a/zev-cgi-bin/one/zev-cgi-bin/two", u"/one/zev-cgi-bin/two", u"one"},
      {u"/zev-cgi-binXsvc/q", u"Xsvc/q", u"svc"},  // index 0 is skipped whatever it holds
  };
  for (const auto& c : cases) {
    RequestUrlParts parts;
    ASSERT_EQ(SplitRequestUrl(c.url, parts), result::kOk);
    EXPECT_EQ(parts.afterPrefix, c.url.substr(c.url.find(u"-bin") + 4));
    EXPECT_EQ(parts.path, c.path);
    EXPECT_EQ(parts.service, c.service);
  }
  RequestUrlParts parts;
  for (const std::u16string_view url :
       {u"/ZEV-CGI-BIN/svc", u"/zev-cgi-bin", u"/zev-cgi-bin/?j=1", u"/zev-cgi-bin//svc"}) {
    EXPECT_EQ(SplitRequestUrl(url, parts), result::kBadRequest)
        << std::string(url.begin(), url.end());
  }
}

// A heap copy with no terminator and no slack, so a sanitizer sees any
// read past the end.
std::unique_ptr<char[]> ExactCopy(std::string_view text) {
  auto copy = std::make_unique<char[]>(text.size());
  std::memcpy(copy.get(), text.data(), text.size());
  return copy;
}

TEST(FormValue, JsonParameterIsFoundAndDecoded) {
  const struct {
    std::string_view form;
    std::optional<std::string_view> value;
  } cases[] = {
      // The name in any case; the first match wins; a parameter starts at
      // the start, after "&" or after "?", and runs to the next "&".
      {"a=b&JSON=first&json=second", "first"},
      {"xjson=1&json=a=b", "a=b"},
      {"/svc/query?json=%7B%7d", "{}"},
      {"x=json=1&jsonx=2", std::nullopt},
      {"json=", ""},
      // Escapes decode to raw bytes, zero too; malformed ones, even at the
      // end of the value or of the data, and "+" are copied unchanged.
      {"json=%41%62%00%E2%82%AC%ff", "Ab\0\xE2\x82\xAC\xFF"sv},
      {"json=a%2&x=%41", "a%2"},
      {"json=a%zz%2g%%41+b", "a%zz%2g%A+b"},
      {"json=%41"sv.substr(0, 7), "%4"},  // the byte after the data is a hex digit
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FindJsonFormValue(c.form), c.value) << c.form;
    const auto exact = ExactCopy(c.form);
    char out[64];
    const std::ptrdiff_t length =
        FindFormValue("json", exact.get(), c.form.size(), out, sizeof out);
    EXPECT_EQ(length, c.value ? static_cast<std::ptrdiff_t>(c.value->size()) : -1) << c.form;
    if (c.value) {
      EXPECT_EQ(std::string_view(out, length), *c.value) << c.form;
    }
  }
}

// At most capacity - 1 bytes and a terminator; nothing at all without room.
TEST(FormValue, OutputStaysWithinCapacity) {
  std::string out(8, 'u');
  EXPECT_EQ(FindFormValue("json", "json=%41%42%43", 14, out.data(), 3), 2);
  EXPECT_EQ(out, std::string("AB\0uuuuu", 8));
  EXPECT_EQ(FindFormValue("json", "json=abc", 8, out.data(), 0), 0);
  EXPECT_EQ(out, std::string("AB\0uuuuu", 8));
  EXPECT_EQ(FindFormValue("json", "json=1", 4, out.data(), 8), -1);  // the length bounds the search
}

TEST(FormValue, NamesCompareInAsciiCaseOnly) {
  EXPECT_EQ(NameEqualsNoCase("jazz", "JAZZ", 4), 0);
  EXPECT_LT(NameEqualsNoCase("json", "jsoN!", 5), 0);
  EXPECT_NE(NameEqualsNoCase("\xC4", "\xE4", 1), 0);  // Latin-1 upper and lower A-umlaut
}

TEST(RequestFrame, IsTheLittleEndianPayloadLengthThenPathSeparatorAndJson) {
  const struct {
    std::string_view path;
    std::string json, frame;
  } cases[] = {
      {"/svc/query", "{\"a\":1}", Bytes({0x17, 0, 0, 0}) + "/svc/query?json={\"a\":1}"},
      {"/s", std::string("a\0b", 3), Bytes({11, 0, 0, 0}) + "/s?json=" + std::string("a\0b", 3)},
      {"/p", std::string(292, 'j'), Bytes({0x2C, 0x01, 0, 0}) + "/p?json=" + std::string(292, 'j')},
  };
  for (const auto& c : cases) {
    std::string frame = "previous frame content";
    ASSERT_TRUE(BuildRequestFrame(c.path, c.json, frame));
    EXPECT_EQ(frame, c.frame);
  }
}

// The size alone is refused: the JSON is never read.
TEST(RequestFrame, PayloadBeyondTheLengthFieldIsRefusedAndLeavesNoFrame) {
  std::string frame = "previous frame content";
  const char json = '{';
  EXPECT_FALSE(BuildRequestFrame("/p", std::string_view(&json, std::size_t{1} << 32), frame));
  EXPECT_EQ(frame, "");
}

}  // namespace
}  // namespace zx
