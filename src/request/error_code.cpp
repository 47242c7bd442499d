#include "request/error_code.h"

#include "request/result_codes.h"
#include "request/wide_to_int.h"

namespace zx {

std::optional<std::int32_t> FindReplyErrorCode(std::u16string_view responseText) noexcept {
  const std::size_t markerAt = responseText.find(kErrorCodeMarker);
  if (markerAt == std::u16string_view::npos) return std::nullopt;
  std::u16string_view value = responseText.substr(markerAt + kErrorCodeMarker.size());
  value = value.substr(0, value.find(u'"'));
  return WideToInt(value);
}

bool IsLostConnectionCode(std::int32_t code) noexcept {
  return code == result::kServiceConnectionLost || code == result::kSyncNoPipeInstance;
}

}  // namespace zx
