// The `error_code` a service may put into its reply text, and the values of
// it that mean the service lost its connection.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace zx {

// A double quote, error_code, a double quote, a colon and a double quote.
inline constexpr std::string_view kErrorCodeMarker = "\"error_code\":\"";

// A reply's error code is the number after the first marker in its text,
// read up to the next double quote (or the end) as the runtime's _wtoi
// reads it. This finds it in the reply's UTF-8 bytes, up to their first
// zero byte (where the text ends), and returns the bytes of the value, or
// nothing without a marker. Decoding UTF-8 turns every ASCII byte into the
// same unit and never makes an ASCII unit of other bytes, so the marker
// stands where it stands in the text and the value decodes to the same
// units: a long reply need not be decoded to answer.
std::optional<std::string_view> FindReplyErrorCodeBytes(std::string_view replyUtf8) noexcept;

// True for the two codes after which the script is told the service is gone.
bool IsLostConnectionCode(std::int32_t code) noexcept;

}  // namespace zx
