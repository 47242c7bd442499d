#include "protocol/error_code.h"

#include <algorithm>
#include <functional>

#include "protocol/result_codes.h"

namespace zx {

std::optional<std::string_view> FindReplyErrorCodeBytes(std::string_view replyUtf8) noexcept {
  const std::string_view text = replyUtf8.substr(0, replyUtf8.find('\0'));
  const auto marker = std::search(
      text.begin(), text.end(),
      std::boyer_moore_horspool_searcher(kErrorCodeMarker.begin(), kErrorCodeMarker.end()));
  if (marker == text.end()) return std::nullopt;
  std::string_view value = text.substr(marker - text.begin() + kErrorCodeMarker.size());
  return value.substr(0, value.find('"'));
}

bool IsLostConnectionCode(std::int32_t code) noexcept {
  return code == result::kServiceConnectionLost || code == result::kSyncNoPipeInstance;
}

}  // namespace zx
