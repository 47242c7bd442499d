// The `error_code` a service may put into its reply text, and the values of
// it that mean the service lost its connection.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace zx {

// A double quote, error_code, a double quote, a colon and a double quote.
inline constexpr std::u16string_view kErrorCodeMarker = u"\"error_code\":\"";

// The number after the first marker, read up to the next double quote (or the
// end) as the runtime's _wtoi reads it; nothing when the marker is absent.
std::optional<std::int32_t> FindReplyErrorCode(std::u16string_view responseText) noexcept;

// True for the two codes after which the script is told the service is gone.
bool IsLostConnectionCode(std::int32_t code) noexcept;

}  // namespace zx
