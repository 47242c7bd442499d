#include "protocol/wide_to_int.h"

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <limits>

namespace zx {
namespace {

// The runtime's white space: ASCII tab to carriage return, space and U+00A0,
// then what its character-type table marks as space above U+00FF. U+0085 is
// a control character to it, not space.
bool IsWideSpace(char16_t c) {
  return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0xA0 || c == 0x1680 ||
         (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F ||
         c == 0x3000;
}

// The runtime also reads the decimal digits of these scripts (Arabic-Indic to
// Mongolian, and full-width), each run of ten starting at the listed zero.
constexpr char16_t kDigitZeros[] = {u'0',   0x0660, 0x06F0, 0x0966, 0x09E6, 0x0A66,
                                    0x0AE6, 0x0B66, 0x0C66, 0x0CE6, 0x0D66, 0x0E50,
                                    0x0ED0, 0x0F20, 0x1040, 0x17E0, 0x1810, 0xFF10};

// The digit's value, or -1.
int DigitValue(char16_t c) {
  const auto zero = std::find_if(std::begin(kDigitZeros), std::end(kDigitZeros),
                                 [c](char16_t z) { return c >= z && c <= z + 9; });
  return zero == std::end(kDigitZeros) ? -1 : c - *zero;
}

// Once the magnitude passes 2^31 the result is clamped either way, so growth
// stops there and cannot overflow.
constexpr std::int64_t kMagnitudeLimit = std::int64_t{1} << 31;

}  // namespace

std::int32_t WideToInt(std::u16string_view text) noexcept {
  std::size_t i = 0;
  while (i < text.size() && IsWideSpace(text[i])) ++i;
  const bool negative = i < text.size() && text[i] == u'-';
  if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) ++i;
  std::int64_t magnitude = 0;
  for (; i < text.size() && DigitValue(text[i]) >= 0; ++i) {
    magnitude = std::min(magnitude * 10 + DigitValue(text[i]), kMagnitudeLimit);
  }
  if (negative) return static_cast<std::int32_t>(-magnitude);  // -2^31 still fits
  return static_cast<std::int32_t>(
      std::min<std::int64_t>(magnitude, std::numeric_limits<std::int32_t>::max()));
}

}  // namespace zx
