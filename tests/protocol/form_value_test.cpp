#include "protocol/form_value.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <optional>
#include <string>

namespace zx {
namespace {

using namespace std::string_view_literals;

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
      // The name in any case, the escapes in either; the first match wins.
      {"JSON=%7b%7D", "{}"}, {"Json=%22a%22", "\"a\""}, {"json=%7B%22a%22%3A1%7D", "{\"a\":1}"},
      {"json=1&json=2", "1"}, {"a=b&JSON=first&json=second", "first"},
      // A parameter starts at the start, after "&" or after "?".
      {"xjson=1&json=2", "2"}, {"/svc/query?x=0&json=1", "1"}, {"/svc/query?json=%7B%7D", "{}"},
      {"/svc/query?xjson=1", std::nullopt}, {"x=json=1", std::nullopt},
      // The value runs to the next "&", counted in bytes.
      {"json=a&b=c", "a"}, {"json=a=b", "a=b"}, {"json=&x=1", ""}, {"json=", ""},
      {"a=\xC3\xA9&json=\xC3\xA9\xC3\xA9", "\xC3\xA9\xC3\xA9"},
      {"", std::nullopt}, {"json", std::nullopt}, {"jsonx=1", std::nullopt},
      {"jso=1&son=2", std::nullopt},
      // Escapes decode to raw bytes, zero too; malformed ones, even at the
      // end of the value or of the data, and "+" are copied unchanged.
      {"json=%41%62%00%E2%82%AC%ff", "Ab\0\xE2\x82\xAC\xFF"sv}, {"json=a%2&x=%41", "a%2"},
      {"json=a%zz%2g%%41+b", "a%zz%2g%A+b"}, {"json=ab%4&x=1", "ab%4"}, {"json=ab%", "ab%"},
      {"json=%41"sv.substr(0, 7), "%4"},
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
  const struct {
    std::string_view form;
    std::ptrdiff_t capacity;
    std::string_view written;
  } cases[] = {
      {"json=abcdef", 4, "abc"}, {"json=%41%42%43", 3, "AB"}, {"json=abc", 1, ""}, {"json=", 4, ""},
  };
  for (const auto& c : cases) {
    std::string out(8, 'u');
    EXPECT_EQ(FindFormValue("json", c.form.data(), c.form.size(), out.data(), c.capacity),
              static_cast<std::ptrdiff_t>(c.written.size()));
    EXPECT_EQ(out.substr(0, c.written.size() + 1), std::string(c.written) + '\0') << c.form;
  }
  std::string out(8, 'u');
  EXPECT_EQ(FindFormValue("json", "json=abc", 8, out.data(), 0), 0);
  EXPECT_EQ(out, "uuuuuuuu");
  EXPECT_EQ(FindFormValue("json", "json=1", 4, out.data(), 8), -1);  // the length bounds the search
}

TEST(FormValue, NamesCompareInAsciiCaseOnly) {
  EXPECT_EQ(NameEqualsNoCase("jazz", "JAZZ", 4), 0);
  EXPECT_EQ(NameEqualsNoCase("json", "jsonx", 4), 0);
  EXPECT_EQ(NameEqualsNoCase("json", "xyz", 0), 0);
  EXPECT_LT(NameEqualsNoCase("json", "jsoN!", 5), 0);
  EXPECT_GT(NameEqualsNoCase("jsoz", "jsob", 4), 0);
  EXPECT_NE(NameEqualsNoCase("\xC4", "\xE4", 1), 0);  // Latin-1 upper and lower A-umlaut
}

}  // namespace
}  // namespace zx
