#include "protocol/code_page.h"

#include <gtest/gtest.h>

#include <string>

namespace zx {
namespace {

std::wstring ToBstrText(std::string_view utf8) {
  UniqueBstr text;
  EXPECT_EQ(S_OK, Utf8ToBstr(utf8, text));
  return text ? std::wstring(text.Get(), SysStringLen(text.Get())) : L"<null>";
}

std::string Repeated(std::string_view text, int times) {
  std::string repeated;
  while (times-- > 0) repeated += text;
  return repeated;
}

TEST(CodePage, Utf8IsConvertedWholeBothWays) {
  const struct {
    std::wstring text;
    std::string utf8;
  } cases[] = {
      // Far beyond any small buffer, in three bytes a character and in ASCII.
      {std::wstring(100000, L'\x20AC'), Repeated("\xE2\x82\xAC", 100000)},
      {std::wstring(1 << 20, L'a'), std::string(1 << 20, 'a')},
      {L"", ""},  // an empty BSTR, not a null one
  };
  for (const auto& c : cases) {
    std::string utf8 = "stale";
    ASSERT_EQ(S_OK, Utf16ToUtf8(c.text.c_str(), utf8));
    EXPECT_TRUE(utf8 == c.utf8) << c.utf8.substr(0, 16);
    EXPECT_TRUE(ToBstrText(c.utf8) == c.text) << c.utf8.substr(0, 16);
  }
}

TEST(CodePage, ConversionStopsAtFirstZero) {
  std::string bytes = "stale";
  ASSERT_EQ(S_OK, Utf16ToUtf8(L"ab\0cd", bytes));
  EXPECT_EQ("ab", bytes);
  ASSERT_EQ(S_OK, Utf16ToThreadAnsi(L"x\0y", bytes));
  EXPECT_EQ("x", bytes);
  EXPECT_EQ(L"ab", ToBstrText(std::string_view("ab\0cd", 5)));
  EXPECT_EQ(L"\x00E9", ToBstrText(std::string_view("\xC3\xA9\0\xC3", 4)));
}

// The calling thread's locale, and so CP_THREAD_ACP, decides; characters
// outside its code page become the default character.
TEST(CodePage, AnsiConversionFollowsTheCallingThreadsLocale) {
  const LCID japanese = MAKELCID(MAKELANGID(LANG_JAPANESE, SUBLANG_JAPANESE_JAPAN), SORT_DEFAULT);
  const LCID english = MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT);
  const struct {
    LCID locale;
    const wchar_t* text;
    std::string bytes;
  } cases[] = {
      {japanese, L"/\x65E5\x672C/q", "/\x93\xFA\x96\x7B/q"},  // Shift-JIS
      {english, L"/caf\x00E9\x20AC", "/caf\xE9\x80"},         // Windows-1252
      {english, L"a\x4E2D" L"b", "a?b"},
      {english, nullptr, ""},
  };
  const LCID previous = GetThreadLocale();
  for (const auto& c : cases) {
    EXPECT_TRUE(SetThreadLocale(c.locale));
    std::string bytes = "stale";
    EXPECT_EQ(S_OK, Utf16ToThreadAnsi(c.text, bytes));
    EXPECT_EQ(c.bytes, bytes);
  }
  SetThreadLocale(previous);
}

}  // namespace
}  // namespace zx
