// The frame on the pipe: a 4-byte little-endian length of what follows, then
// that many bytes; no terminator, no other header. A request's payload is the
// path text, "?json=" and the JSON bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zx {

inline constexpr std::size_t kFrameLengthSize = 4;
inline constexpr std::string_view kJsonSeparator = "?json=";

void StoreFrameLength(std::uint32_t length, char* fourBytes) noexcept;
std::uint32_t LoadFrameLength(const char* fourBytes) noexcept;

// Replaces `frame` with the request frame of `pathText` (ANSI bytes) and
// `json`, keeping every JSON byte, zero bytes included. Reuses the capacity
// `frame` already has. Returns false, with `frame` emptied, when memory runs
// out or the payload does not fit the 32-bit length field; callers report
// their own out-of-memory code.
[[nodiscard]] bool BuildRequestFrame(std::string_view pathText, std::string_view json,
                                     std::string& frame) noexcept;

}  // namespace zx
