// libFuzzer target: reply text, raw and wrapped as {"error_code":"…"}, read
// for its error code. The number must be what the runtime's _wtoi gives,
// here modelled by strtoll over the text with the runtime's white space and
// digits mapped to ASCII and the result clamped to 32 bits; and it must be
// found in the reply's UTF-8 bytes exactly where the text has it, the rule
// being the first marker in the decoded text, read up to the next quote.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "protocol/error_code.h"
#include "protocol/wide_to_int.h"

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

const std::u16string kMarkerText(zx::kErrorCodeMarker.begin(), zx::kErrorCodeMarker.end());

std::optional<std::int32_t> ReferenceErrorCode(std::u16string_view text) {
  const std::size_t markerAt = text.find(kMarkerText);
  if (markerAt == std::u16string_view::npos) return std::nullopt;
  const std::u16string_view rest = text.substr(markerAt + kMarkerText.size());
  return ReferenceWtoi(rest.substr(0, rest.find(u'"')));
}

bool IsSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDFFF; }

// Well-formed UTF-16 (lone surrogates replaced) and its UTF-8 bytes.
std::u16string WellFormed(std::u16string_view text) {
  std::u16string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    const bool pair = c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() &&
                      text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
    if (pair) {
      out += c;
      out += text[++i];
    } else {
      out += IsSurrogate(c) ? u'\uFFFD' : c;
    }
  }
  return out;
}

std::string EncodeUtf8(std::u16string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (IsSurrogate(text[i])) c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += {static_cast<char>(0xC0 | c >> 6), static_cast<char>(0x80 | (c & 0x3F))};
    } else if (c < 0x10000) {
      out += {static_cast<char>(0xE0 | c >> 12), static_cast<char>(0x80 | (c >> 6 & 0x3F)),
              static_cast<char>(0x80 | (c & 0x3F))};
    } else {
      out += {static_cast<char>(0xF0 | c >> 18), static_cast<char>(0x80 | (c >> 12 & 0x3F)),
              static_cast<char>(0x80 | (c >> 6 & 0x3F)), static_cast<char>(0x80 | (c & 0x3F))};
    }
  }
  return out;
}

// The inverse of EncodeUtf8, for the value bytes it produced.
std::u16string DecodeUtf8(std::string_view bytes) {
  std::u16string out;
  for (std::size_t i = 0; i < bytes.size();) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    const int length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    char32_t c = length == 1 ? lead : lead & (0x7F >> length);
    for (int k = 1; k < length; ++k) c = c << 6 | (static_cast<unsigned char>(bytes[i + k]) & 0x3F);
    if (c >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    } else {
      out += static_cast<char16_t>(c);
    }
    i += length;
  }
  return out;
}

// The request object reads the code from the bytes; the answer must be the
// one the decoded text gives (which ends at its first zero unit).
void CheckBytesAgreeWithText(std::u16string_view text) {
  const std::u16string wellFormed = WellFormed(text);
  const std::optional<std::int32_t> expected =
      ReferenceErrorCode(std::u16string_view(wellFormed).substr(0, wellFormed.find(u'\0')));
  const std::string bytes = EncodeUtf8(wellFormed);
  const std::optional<std::string_view> value = zx::FindReplyErrorCodeBytes(bytes);
  std::optional<std::int32_t> actual;
  if (value) actual = zx::WideToInt(DecodeUtf8(*value));
  ZX_FUZZ_CHECK(actual == expected);
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
  CheckBytesAgreeWithText(text);
  if (const std::optional<std::int32_t> code = ReferenceErrorCode(text)) {
    const bool lost = *code == -536150015 || *code == -536084476;  // 0xE00B0001, 0xE00C0004
    ZX_FUZZ_CHECK(zx::IsLostConnectionCode(*code) == lost);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::u16string text = DecodeUnits(data, size);
  ZX_FUZZ_CHECK(zx::WideToInt(text) == ReferenceWtoi(text));
  CheckErrorCode(text);
  CheckErrorCode(kMarkerText + text + u"\"}");
  return 0;
}
