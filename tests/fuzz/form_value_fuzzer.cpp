// libFuzzer target: any bytes as form data and, widened to UTF-16, as the
// URL given to `open`. The form lookup and percent decoding are checked
// against a plain reference, and the URL split against the rules it states.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "protocol/form_value.h"
#include "protocol/request_url.h"

namespace {

using zx::fuzz::LowerAscii;

std::string ReferenceDecode(std::string_view source) {
  std::string decoded;
  for (std::size_t i = 0; i < source.size(); ++i) {
    const std::string hex(source.substr(i + 1, 2));
    const bool escape = source[i] == '%' && hex.size() == 2 &&
                        hex.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos;
    decoded += escape ? static_cast<char>(std::stoi(hex, nullptr, 16)) : source[i];
    if (escape) i += 2;
  }
  return decoded;
}

// A parameter starts at the start and after every "&" or "?" and runs to
// the next "&"; the first one named json (any case) wins.
std::optional<std::string> ReferenceJsonValue(std::string_view form) {
  for (std::size_t start = 0;;) {
    const std::string_view parameter = form.substr(start, form.find('&', start) - start);
    std::string name(parameter.substr(0, 5));
    std::transform(name.begin(), name.end(), name.begin(), LowerAscii<char>);
    if (name == "json=") return ReferenceDecode(parameter.substr(5));
    const std::size_t next = form.find_first_of("&?", start);
    if (next == std::string_view::npos) return std::nullopt;
    start = next + 1;
  }
}

// Into an output buffer of exactly `capacity` bytes, so a write past it is caught.
void CheckFormLookup(std::string_view form) {
  const std::optional<std::string> expected = ReferenceJsonValue(form);
  ZX_FUZZ_CHECK(zx::FindJsonFormValue(form) == expected);
  const auto size = static_cast<std::ptrdiff_t>(form.size());
  for (const std::ptrdiff_t capacity :
       {std::ptrdiff_t{0}, std::ptrdiff_t{1}, std::ptrdiff_t{2}, size / 2 + 1, size + 1}) {
    const auto out = std::make_unique<char[]>(static_cast<std::size_t>(capacity));
    const std::ptrdiff_t length = zx::FindFormValue("json", form.data(), size, out.get(), capacity);
    if (!expected || capacity == 0) {
      ZX_FUZZ_CHECK(length == (expected ? 0 : -1));
      continue;
    }
    ZX_FUZZ_CHECK(length == std::min<std::ptrdiff_t>(expected->size(), capacity - 1));
    ZX_FUZZ_CHECK(out[length] == '\0');
    ZX_FUZZ_CHECK(std::string_view(out.get(), length) == expected->substr(0, length));
  }
}

// Cut after the first prefix, the query gone, the service the first segment.
void CheckUrlSplit(std::string_view bytes) {
  const std::u16string url(bytes.begin(), bytes.end());
  zx::RequestUrlParts parts;
  const zx::Result result = zx::SplitRequestUrl(url, parts);
  const std::size_t prefixAt = url.find(zx::kCgiPrefix);
  ZX_FUZZ_CHECK(prefixAt != std::u16string::npos || result == zx::result::kBadRequest);
  if (prefixAt == std::u16string::npos) return;
  const std::u16string_view afterPrefix =
      std::u16string_view(url).substr(prefixAt + zx::kCgiPrefix.size());
  ZX_FUZZ_CHECK(parts.afterPrefix.data() == afterPrefix.data() && parts.afterPrefix == afterPrefix);
  ZX_FUZZ_CHECK(parts.path.data() == afterPrefix.data());
  ZX_FUZZ_CHECK(parts.path == afterPrefix.substr(0, afterPrefix.find(u'?')));
  ZX_FUZZ_CHECK((result == zx::result::kOk) == !parts.service.empty());
  if (result != zx::result::kOk) return;
  ZX_FUZZ_CHECK(parts.service.data() == parts.path.data() + 1);
  ZX_FUZZ_CHECK(parts.service == parts.path.substr(1, parts.path.find(u'/', 1) - 1));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  CheckFormLookup(bytes);
  CheckUrlSplit(bytes);
  return 0;
}
