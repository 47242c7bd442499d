#include "common/ascii_text.h"

#include <algorithm>

namespace zx {
namespace {

char16_t FoldAsciiCase(char16_t c) { return (c >= u'a' && c <= u'z') ? c - u'a' + u'A' : c; }

bool FoldedLess(char16_t a, char16_t b) { return FoldAsciiCase(a) < FoldAsciiCase(b); }

}  // namespace

bool EqualsIgnoreAsciiCase(std::u16string_view a, std::u16string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(),
                    [](char16_t x, char16_t y) { return FoldAsciiCase(x) == FoldAsciiCase(y); });
}

bool IgnoreAsciiCaseLess::operator()(std::u16string_view a, std::u16string_view b) const {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), FoldedLess);
}

}  // namespace zx
