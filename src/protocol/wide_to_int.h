// The C runtime's _wtoi, for text that is not zero-terminated and on any host.
#pragma once

#include <cstdint>
#include <string_view>

namespace zx {

// Skips leading white space, takes an optional sign, then decimal digits up
// to the first other character. Like the runtime, a value out of range is
// clamped to INT32_MIN or INT32_MAX, and text without digits gives 0.
std::int32_t WideToInt(std::u16string_view text) noexcept;

}  // namespace zx
