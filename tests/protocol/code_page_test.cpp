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

// U+4E2D U+6587 (CJK), U+1F600 (a surrogate pair), U+00E9, ASCII.
const wchar_t kMixedText[] = L"\x4E2D\x6587 \xD83D\xDE00 caf\x00E9";
const char kMixedUtf8[] = "\xE4\xB8\xAD\xE6\x96\x87 \xF0\x9F\x98\x80 caf\xC3\xA9";

TEST(CodePage, Utf8CarriesCjkAndSurrogatePairsBothWays) {
  std::string utf8;
  ASSERT_EQ(S_OK, Utf16ToUtf8(kMixedText, utf8));
  EXPECT_EQ(kMixedUtf8, utf8);

  EXPECT_EQ(kMixedText, ToBstrText(kMixedUtf8));
}

TEST(CodePage, LongTextIsConvertedWhole) {
  // Three UTF-8 bytes per unit, far beyond any small fixed buffer.
  const std::wstring euros(100000, L'\x20AC');
  std::string utf8;
  ASSERT_EQ(S_OK, Utf16ToUtf8(euros.c_str(), utf8));
  ASSERT_EQ(300000u, utf8.size());
  EXPECT_EQ("\xE2\x82\xAC", utf8.substr(299997));

  EXPECT_EQ(euros, ToBstrText(utf8));
  const std::string ascii(1 << 20, 'a');
  EXPECT_EQ(std::wstring(1 << 20, L'a'), ToBstrText(ascii));
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

TEST(CodePage, EmptyOrNullTextGivesEmptyResult) {
  std::string bytes = "stale";
  EXPECT_EQ(S_OK, Utf16ToUtf8(L"", bytes));
  EXPECT_EQ("", bytes);
  bytes = "stale";
  EXPECT_EQ(S_OK, Utf16ToThreadAnsi(nullptr, bytes));
  EXPECT_EQ("", bytes);

  EXPECT_EQ(L"", ToBstrText(""));  // an empty string, not a null BSTR
}

// Switches the calling thread's locale, and so CP_THREAD_ACP, for a scope.
class ThreadLocale {
 public:
  explicit ThreadLocale(LCID locale) : m_previous(GetThreadLocale()) {
    m_switched = SetThreadLocale(locale) != FALSE;
  }
  ~ThreadLocale() { SetThreadLocale(m_previous); }
  bool Switched() const { return m_switched; }

 private:
  LCID m_previous;
  bool m_switched;
};

const LCID kJapanese = MAKELCID(MAKELANGID(LANG_JAPANESE, SUBLANG_JAPANESE_JAPAN), SORT_DEFAULT);
const LCID kEnglishUs = MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT);

TEST(CodePage, AnsiConversionFollowsTheCallingThreadsLocale) {
  std::string bytes;
  {
    ThreadLocale japanese(kJapanese);
    ASSERT_TRUE(japanese.Switched());
    ASSERT_EQ(S_OK, Utf16ToThreadAnsi(L"/\x65E5\x672C/q", bytes));
    EXPECT_EQ("/\x93\xFA\x96\x7B/q", bytes);  // Shift-JIS
  }
  {
    ThreadLocale english(kEnglishUs);
    ASSERT_TRUE(english.Switched());
    ASSERT_EQ(S_OK, Utf16ToThreadAnsi(L"/caf\x00E9\x20AC", bytes));
    EXPECT_EQ("/caf\xE9\x80", bytes);  // Windows-1252
  }
}

TEST(CodePage, CharactersOutsideTheAnsiCodePageBecomeTheDefaultCharacter) {
  ThreadLocale english(kEnglishUs);
  ASSERT_TRUE(english.Switched());
  std::string bytes;
  ASSERT_EQ(S_OK, Utf16ToThreadAnsi(L"a\x4E2D" L"b\x0416" L"c", bytes));
  EXPECT_EQ("a?b?c", bytes);
}

}  // namespace
}  // namespace zx
