// libFuzzer target: reply text, raw and wrapped as {"error_code":"…"}, read
// for its error code. The number must be what the runtime's _wtoi gives,
// here modelled by strtoll over the text with the runtime's white space and
// digits mapped to ASCII and the result clamped to 32 bits.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "request/error_code.h"
#include "request/wide_to_int.h"

namespace {

struct UnitRange {
  char16_t first;
  char16_t last;
};

// The runtime's white space: ASCII, no-break, Ogham, the general-punctuation
// spaces, line and paragraph separators, ideographic space.
constexpr UnitRange kRuntimeSpaces[] = {
    {0x09, 0x0D},     {0x20, 0x20},     {0xA0, 0xA0},     {0x1680, 0x1680}, {0x2000, 0x200A},
    {0x2028, 0x2029}, {0x202F, 0x202F}, {0x205F, 0x205F}, {0x3000, 0x3000},
};

// The runs of ten decimal digits the runtime reads, as ranges.
constexpr UnitRange kRuntimeDigits[] = {
    {u'0', u'9'},     {0x0660, 0x0669}, {0x06F0, 0x06F9}, {0x0966, 0x096F}, {0x09E6, 0x09EF},
    {0x0A66, 0x0A6F}, {0x0AE6, 0x0AEF}, {0x0B66, 0x0B6F}, {0x0C66, 0x0C6F}, {0x0CE6, 0x0CEF},
    {0x0D66, 0x0D6F}, {0x0E50, 0x0E59}, {0x0ED0, 0x0ED9}, {0x0F20, 0x0F29}, {0x1040, 0x1049},
    {0x17E0, 0x17E9}, {0x1810, 0x1819}, {0xFF10, 0xFF19},
};

const UnitRange* FindRange(const UnitRange* begin, const UnitRange* end, char16_t c) {
  for (; begin != end; ++begin) {
    if (c >= begin->first && c <= begin->last) return begin;
  }
  return nullptr;
}

// Spaces become ' ', digits their ASCII digit, signs stay, anything else
// becomes a character strtoll stops at.
char NarrowForStrtoll(char16_t c) {
  if (FindRange(std::begin(kRuntimeSpaces), std::end(kRuntimeSpaces), c)) return ' ';
  if (const UnitRange* digits =
          FindRange(std::begin(kRuntimeDigits), std::end(kRuntimeDigits), c)) {
    return static_cast<char>('0' + (c - digits->first));
  }
  return (c == u'+' || c == u'-') ? static_cast<char>(c) : '#';
}

std::int32_t ReferenceWtoi(std::u16string_view text) {
  std::string narrow;
  for (const char16_t c : text) narrow += NarrowForStrtoll(c);
  const long long value = std::strtoll(narrow.c_str(), nullptr, 10);
  if (value < std::numeric_limits<std::int32_t>::min())
    return std::numeric_limits<std::int32_t>::min();
  if (value > std::numeric_limits<std::int32_t>::max())
    return std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(value);
}

std::optional<std::int32_t> ReferenceErrorCode(std::u16string_view text) {
  const std::size_t markerAt = text.find(zx::kErrorCodeMarker);
  if (markerAt == std::u16string_view::npos) return std::nullopt;
  const std::u16string_view rest = text.substr(markerAt + zx::kErrorCodeMarker.size());
  return ReferenceWtoi(rest.substr(0, rest.find(u'"')));
}

// A byte below 0x80 is that ASCII character; a higher byte takes the next
// two bytes as one UTF-16 unit, so both plain and exotic text stay likely.
std::u16string DecodeUnits(const std::uint8_t* data, std::size_t size) {
  std::u16string text;
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] < 0x80) {
      text += static_cast<char16_t>(data[i]);
    } else if (i + 2 < size) {
      text += static_cast<char16_t>(data[i + 1] | data[i + 2] << 8);
      i += 2;
    }
  }
  return text;
}

void CheckErrorCode(std::u16string_view text) {
  const std::optional<std::int32_t> code = zx::FindReplyErrorCode(text);
  ZX_FUZZ_CHECK(code == ReferenceErrorCode(text));
  if (code) {
    const bool lost = *code == -536150015 || *code == -536084476;  // 0xE00B0001, 0xE00C0004
    ZX_FUZZ_CHECK(zx::IsLostConnectionCode(*code) == lost);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::u16string text = DecodeUnits(data, size);
  ZX_FUZZ_CHECK(zx::WideToInt(text) == ReferenceWtoi(text));
  CheckErrorCode(text);
  CheckErrorCode(std::u16string(zx::kErrorCodeMarker) + text + u"\"}");
  return 0;
}
