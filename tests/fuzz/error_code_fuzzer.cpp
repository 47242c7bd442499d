// libFuzzer target: reply text, raw and wrapped as {"error_code":"…"}. The
// request object finds the error code in the reply's UTF-8 bytes without
// decoding them; what it finds must decode to exactly what the decoded text
// holds after its first marker, up to the next quote (the text ending at its
// first zero).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "protocol/error_code.h"

namespace {

bool IsSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDFFF; }

// Lone surrogates replaced, so the text has a UTF-8 form.
std::u16string WellFormed(std::u16string_view text) {
  std::u16string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool pair = text[i] >= 0xD800 && text[i] <= 0xDBFF && i + 1 < text.size() &&
                      text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
    if (pair) out += text[i++];
    out += IsSurrogate(text[i]) && !pair ? u'\uFFFD' : text[i];
  }
  return out;
}

// The inverse of EncodeUtf8, for the bytes it produced.
std::u16string DecodeUtf8(std::string_view bytes) {
  std::u16string out;
  for (std::size_t i = 0; i < bytes.size();) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    const int length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    char32_t c = length == 1 ? lead : lead & (0x7F >> length);
    for (int k = 1; k < length; ++k) c = c << 6 | (static_cast<unsigned char>(bytes[i + k]) & 0x3F);
    if (c >= 0x10000) {
      out += {static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)),
              static_cast<char16_t>(0xDC00 + (c & 0x3FF))};
    } else {
      out += static_cast<char16_t>(c);
    }
    i += length;
  }
  return out;
}

const std::u16string kMarker(zx::kErrorCodeMarker.begin(), zx::kErrorCodeMarker.end());

void CheckErrorCode(std::u16string_view anyText) {
  const std::u16string text = WellFormed(anyText);
  const std::u16string_view read = std::u16string_view(text).substr(0, text.find(u'\0'));
  std::optional<std::u16string> expected;
  if (const std::size_t at = read.find(kMarker); at != std::u16string_view::npos) {
    const std::u16string_view rest = read.substr(at + kMarker.size());
    expected = rest.substr(0, rest.find(u'"'));
  }
  const std::string bytes = zx::fuzz::EncodeUtf8(text);
  const std::optional<std::string_view> found = zx::FindReplyErrorCodeBytes(bytes);
  ZX_FUZZ_CHECK(found.has_value() == expected.has_value());
  if (found) ZX_FUZZ_CHECK(DecodeUtf8(*found) == *expected);
}

}  // namespace

// A byte below 0x80 is that ASCII character; a higher byte takes the next
// two bytes as one UTF-16 unit, so both plain and exotic text stay likely.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::u16string text;
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] < 0x80) {
      text += static_cast<char16_t>(data[i]);
    } else if (i + 2 < size) {
      text += static_cast<char16_t>(data[i + 1] | data[i + 2] << 8);
      i += 2;
    }
  }
  CheckErrorCode(text);
  CheckErrorCode(kMarker + text + u"\"}");
  return 0;
}
