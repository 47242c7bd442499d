// The conversions between script text and pipe bytes. Everyday text is
// checked through the script host (page.hostile_input); here are sizes far
// beyond any small buffer, the zero that ends a text, and the locale that
// picks the ANSI code page.
#include "protocol/code_page.h"

#include <gtest/gtest.h>

#include <string>

namespace zx {
namespace {

// Whatever follows the first zero byte is not converted, even a sequence
// cut short.
TEST(CodePage, Utf8IsConvertedWholeBothWaysUpToTheFirstZero) {
  std::string euros;
  for (int i = 0; i < 100000; ++i) euros += "\xE2\x82\xAC";
  const struct {
    std::wstring text;
    std::string utf8;
  } cases[] = {
      // Three bytes a character and ASCII, each in many times any buffer's size.
      {std::wstring(100000, L'\x20AC'), euros},
      {std::wstring(1 << 20, L'a'), std::string(1 << 20, 'a')},
      {L"", ""},  // an empty BSTR, not a null one
      {L"\x00E9", "\xC3\xA9"},
  };
  for (const auto& c : cases) {
    std::string utf8 = "stale";
    ASSERT_EQ(S_OK, Utf16ToUtf8(c.text.c_str(), utf8));
    EXPECT_TRUE(utf8 == c.utf8) << c.utf8.substr(0, 16);
    UniqueBstr text;
    ASSERT_EQ(S_OK, Utf8ToBstr(c.utf8 + std::string("\0\xC3", 2), text));
    ASSERT_TRUE(text);
    EXPECT_TRUE(std::wstring(text.Get(), SysStringLen(text.Get())) == c.text);
  }
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
