#include "pickers/result_text.h"

#include <string_view>

namespace zx {
namespace {

constexpr std::u16string_view kOpening = u"{result:{paths:[";
constexpr std::u16string_view kCountKey = u"],count:";
constexpr std::u16string_view kClosing = u"}}";

std::u16string QuotedPathList(const std::vector<std::u16string>& paths) {
  std::u16string list;
  for (const std::u16string& path : paths) {
    if (!list.empty()) list += u',';
    list += u'"';
    list += path;
    list += u'"';
  }
  return list;
}

std::u16string DoubleBackslashes(std::u16string_view text) {
  std::u16string doubled;
  doubled.reserve(text.size());
  for (const char16_t c : text) {
    doubled += c;
    if (c == u'\\') doubled += c;
  }
  return doubled;
}

std::u16string Decimal(std::size_t value) {
  std::u16string digits;
  do {
    digits.insert(digits.begin(), static_cast<char16_t>(u'0' + value % 10));
    value /= 10;
  } while (value != 0);
  return digits;
}

}  // namespace

std::u16string BuildResultText(const std::vector<std::u16string>& paths) {
  if (paths.empty()) return {};
  std::u16string text(kOpening);
  text += DoubleBackslashes(QuotedPathList(paths));
  text += kCountKey;
  text += Decimal(paths.size());
  text += kClosing;
  return text;
}

}  // namespace zx
