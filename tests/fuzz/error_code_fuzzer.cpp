// libFuzzer target: reply text, raw and wrapped as {"error_code":"…"}. The
// request object finds the error code in the reply's UTF-8 bytes without
// decoding them; what it finds must be the UTF-8 of what the text holds
// after its first marker, up to the next quote (the text ending at its
// first zero).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "protocol/error_code.h"

namespace {

const std::u16string kMarker(zx::kErrorCodeMarker.begin(), zx::kErrorCodeMarker.end());

// The marker and the quote are ASCII, so cutting the text at them never
// splits a character (nor a surrogate pair that stands for one), and the
// UTF-8 of the cut text is what must be found.
void CheckErrorCode(std::u16string_view text) {
  const std::u16string_view read = text.substr(0, text.find(u'\0'));
  const std::size_t at = read.find(kMarker);
  const std::string bytes = zx::fuzz::EncodeUtf8(text);
  const std::optional<std::string_view> found = zx::FindReplyErrorCodeBytes(bytes);
  ZX_FUZZ_CHECK(found.has_value() == (at != std::u16string_view::npos));
  if (!found) return;
  const std::u16string_view rest = read.substr(at + kMarker.size());
  ZX_FUZZ_CHECK(*found == zx::fuzz::EncodeUtf8(rest.substr(0, rest.find(u'"'))));
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
