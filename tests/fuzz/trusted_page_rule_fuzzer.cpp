// libFuzzer target: any bytes as one allow-listed prefix (up to the first
// line feed) and a page address (the rest), each byte widened to one UTF-16
// unit. The verdict is checked against properties the rule promises rather
// than against a second copy of it.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "sitelock/trusted_page_rule.h"

namespace {

using zx::fuzz::LowerAscii;

bool AllDrivesLocal(char16_t) { return true; }
bool NoDriveLocal(char16_t) { return false; }

bool StartsIgnoringCase(std::u16string_view text, std::u16string_view start) {
  return text.size() >= start.size() &&
         std::equal(start.begin(), start.end(), text.begin(),
                    [](char16_t a, char16_t b) { return LowerAscii(a) == LowerAscii(b); });
}

// The path as a server or the file system reads it, split at every
// separator; only the escapes of dots and separators are undone.
bool HasDotSegment(std::u16string_view address) {
  const std::u16string_view path = address.substr(0, address.find_first_of(u"?#"));
  std::u16string plain;
  for (std::size_t i = 0; i < path.size(); ++i) {
    const std::u16string_view escape = path.substr(i, 3);
    const bool dot = StartsIgnoringCase(escape, u"%2e");
    if (dot || StartsIgnoringCase(escape, u"%2f") || StartsIgnoringCase(escape, u"%5c")) {
      plain += dot ? u'.' : u'/';
      i += 2;
    } else {
      plain += path[i] == u'\\' ? u'/' : path[i];
    }
  }
  const std::u16string bounded = u'/' + plain + u'/';
  return bounded.find(u"/./") != std::u16string::npos ||
         bounded.find(u"/../") != std::u16string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::u16string input(data, data + size);
  const std::size_t lineEnd = std::min(input.find(u'\n'), input.size());
  const std::vector<std::u16string> listed = {input.substr(0, lineEnd)}, none;
  const std::u16string address = input.substr(std::min(lineEnd + 1, input.size()));

  const bool byList = zx::IsTrustedPageAddress(address, listed, &AllDrivesLocal);
  const bool local = zx::IsTrustedPageAddress(address, none, &AllDrivesLocal);
  const bool resource = zx::IsTrustedPageAddress(address, none, &NoDriveLocal);

  ZX_FUZZ_CHECK(!resource || StartsIgnoringCase(address, u"res://"));
  ZX_FUZZ_CHECK(!local || resource || StartsIgnoringCase(address, u"file:///"));
  ZX_FUZZ_CHECK(!local || byList);  // a list only adds
  ZX_FUZZ_CHECK(!byList || local || StartsIgnoringCase(address, listed[0]));
  if (byList) {
    ZX_FUZZ_CHECK(address.size() <= zx::kMaxPageAddressLength);
    ZX_FUZZ_CHECK(std::all_of(address.begin(), address.end(),
                              [](char16_t c) { return c > u' ' && c < 0x7F; }));
    ZX_FUZZ_CHECK(!HasDotSegment(address));
  }
  return 0;
}
