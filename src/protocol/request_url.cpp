#include "protocol/request_url.h"

namespace zx {
namespace {

constexpr char16_t kQueryStart = u'?';
constexpr char16_t kSegmentSeparator = u'/';

std::u16string_view CutAtQuery(std::u16string_view text) {
  return text.substr(0, text.find(kQueryStart));
}

// The characters from index 1 up to the next slash, or to the end. Index 0 is
// skipped whatever it holds: it is the slash that follows the prefix.
std::u16string_view FirstSegment(std::u16string_view path) {
  if (path.size() <= 1) return {};
  const std::size_t end = path.find(kSegmentSeparator, 1);
  return path.substr(1, end == std::u16string_view::npos ? end : end - 1);
}

}  // namespace

Result SplitRequestUrl(std::u16string_view url, RequestUrlParts& parts) {
  const std::size_t prefixAt = url.find(kCgiPrefix);
  if (prefixAt == std::u16string_view::npos) return result::kBadRequest;
  parts.afterPrefix = url.substr(prefixAt + kCgiPrefix.size());
  parts.path = CutAtQuery(parts.afterPrefix);
  parts.service = FirstSegment(parts.path);
  // A URL that names no service ("/zev-cgi-bin", "/zev-cgi-bin?x", "/zev-cgi-bin/",
  // "/zev-cgi-bin//x") would look up the root key itself; refuse it like any
  // other malformed URL.
  if (parts.service.empty()) return result::kBadRequest;
  return result::kOk;
}

}  // namespace zx
