// libFuzzer target: any bytes as form data and, widened to UTF-16, as the
// URL given to `open`. The form lookup and percent decoding are checked
// against a plain reference, and the URL split against the rules it states.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "protocol/form_value.h"
#include "protocol/request_url.h"

namespace {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsHexAscii(char c) {
  const char lower = LowerAscii(c);
  return (lower >= '0' && lower <= '9') || (lower >= 'a' && lower <= 'f');
}

std::string ReferenceDecode(std::string_view source) {
  std::string decoded;
  for (std::size_t i = 0; i < source.size(); ++i) {
    if (source[i] == '%' && i + 2 < source.size() && IsHexAscii(source[i + 1]) &&
        IsHexAscii(source[i + 2])) {
      const char digits[3] = {source[i + 1], source[i + 2], '\0'};
      decoded += static_cast<char>(std::strtol(digits, nullptr, 16));
      i += 2;
    } else {
      decoded += source[i];
    }
  }
  return decoded;
}

// A parameter starts at the start and after every "&" or "?" and runs to
// the next "&"; the first one named json (any case) wins.
std::optional<std::string> ReferenceJsonValue(std::string_view form) {
  for (std::size_t start = 0;;) {
    const std::string_view part = form.substr(start, form.find('&', start) - start);
    if (part.size() > 4 && part[4] == '=' && LowerAscii(part[0]) == 'j' &&
        LowerAscii(part[1]) == 's' && LowerAscii(part[2]) == 'o' && LowerAscii(part[3]) == 'n') {
      return ReferenceDecode(part.substr(5));
    }
    const std::size_t next = form.find_first_of("&?", start);
    if (next == std::string_view::npos) return std::nullopt;
    start = next + 1;
  }
}

// An output buffer of exactly `capacity` bytes, so a write past it is caught.
void CheckBoundedLookup(std::string_view form, const std::optional<std::string>& expected,
                        std::ptrdiff_t capacity) {
  const auto out = std::make_unique<char[]>(static_cast<std::size_t>(capacity));
  const std::ptrdiff_t length = zx::FindFormValue(
      "json", form.data(), static_cast<std::ptrdiff_t>(form.size()), out.get(), capacity);
  if (!expected) {
    ZX_FUZZ_CHECK(length == -1);
    return;
  }
  if (capacity == 0) {
    ZX_FUZZ_CHECK(length == 0);
    return;
  }
  const auto fits = static_cast<std::ptrdiff_t>(expected->size()) < capacity - 1
                        ? static_cast<std::ptrdiff_t>(expected->size())
                        : capacity - 1;
  ZX_FUZZ_CHECK(length == fits);
  ZX_FUZZ_CHECK(out[length] == '\0');
  ZX_FUZZ_CHECK(std::string_view(out.get(), static_cast<std::size_t>(length)) ==
                std::string_view(*expected).substr(0, static_cast<std::size_t>(length)));
}

void CheckFormLookup(std::string_view form) {
  const std::optional<std::string> expected = ReferenceJsonValue(form);
  ZX_FUZZ_CHECK(zx::FindJsonFormValue(form) == expected);
  const auto size = static_cast<std::ptrdiff_t>(form.size());
  for (const std::ptrdiff_t capacity :
       {std::ptrdiff_t{0}, std::ptrdiff_t{1}, std::ptrdiff_t{2}, size / 2 + 1, size + 1}) {
    CheckBoundedLookup(form, expected, capacity);
  }
}

// Every byte escaped, in upper or lower case by position, decodes back.
void CheckEscapeRoundTrip(std::string_view bytes) {
  static constexpr char kDigits[2][17] = {"0123456789ABCDEF", "0123456789abcdef"};
  std::string escaped;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    escaped += '%';
    escaped += kDigits[i % 2][byte >> 4];
    escaped += kDigits[(i / 2) % 2][byte & 0xF];
  }
  const auto out = std::make_unique<char[]>(bytes.size() + 1);
  const std::ptrdiff_t length =
      zx::PercentDecode(escaped.data(), static_cast<std::ptrdiff_t>(escaped.size()), out.get(),
                        static_cast<std::ptrdiff_t>(bytes.size() + 1));
  ZX_FUZZ_CHECK(std::string_view(out.get(), static_cast<std::size_t>(length)) == bytes);
}

// Splits `bytes` in the middle and compares the halves as names.
void CheckNameComparison(std::string_view bytes) {
  const std::size_t n = bytes.size() / 2;
  const std::string a(bytes.substr(0, n));
  const std::string b(bytes.substr(n, n));
  const auto length = static_cast<std::ptrdiff_t>(n);
  const int forward = zx::NameEqualsNoCase(a.c_str(), b.c_str(), length);
  bool equal = true;
  for (std::size_t i = 0; i < n; ++i) equal = equal && LowerAscii(a[i]) == LowerAscii(b[i]);
  ZX_FUZZ_CHECK((forward == 0) == equal);
  ZX_FUZZ_CHECK(zx::NameEqualsNoCase(b.c_str(), a.c_str(), length) == -forward);
}

bool WithinView(std::u16string_view inner, std::u16string_view outer) {
  return inner.data() >= outer.data() && inner.data() + inner.size() <= outer.data() + outer.size();
}

void CheckUrlSplit(std::string_view bytes) {
  const std::u16string url(bytes.begin(), bytes.end());  // each byte one UTF-16 unit
  zx::RequestUrlParts parts;
  const zx::Result result = zx::SplitRequestUrl(url, parts);
  const std::size_t prefixAt = url.find(zx::kCgiPrefix);
  if (prefixAt == std::u16string::npos) {
    ZX_FUZZ_CHECK(result == zx::result::kBadRequest);
    return;
  }
  // Cut after the first prefix, the query gone, the service the first segment.
  ZX_FUZZ_CHECK(parts.afterPrefix.data() == url.data() + prefixAt + zx::kCgiPrefix.size());
  ZX_FUZZ_CHECK(WithinView(parts.afterPrefix, url));
  ZX_FUZZ_CHECK(parts.path.data() == parts.afterPrefix.data());
  ZX_FUZZ_CHECK(parts.path.find(u'?') == std::u16string_view::npos);
  ZX_FUZZ_CHECK(parts.path.size() == parts.afterPrefix.size() ||
                parts.afterPrefix[parts.path.size()] == u'?');
  ZX_FUZZ_CHECK((result == zx::result::kOk) == !parts.service.empty());
  if (result != zx::result::kOk) return;
  ZX_FUZZ_CHECK(parts.service.data() == parts.path.data() + 1);
  ZX_FUZZ_CHECK(parts.service.find(u'/') == std::u16string_view::npos);
  const std::size_t serviceEnd = 1 + parts.service.size();
  ZX_FUZZ_CHECK(serviceEnd == parts.path.size() || parts.path[serviceEnd] == u'/');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  CheckFormLookup(bytes);
  CheckEscapeRoundTrip(bytes);
  CheckNameComparison(bytes);
  CheckUrlSplit(bytes);
  return 0;
}
