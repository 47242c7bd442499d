#pragma once
// Colours in the Win32 COLORREF layout (0x00BBGGRR), usable without <windows.h>.
#include <cstdint>

namespace zx {

using ColorRef = std::uint32_t;

constexpr ColorRef MakeColorRef(int red, int green, int blue) {
  return static_cast<ColorRef>(red & 0xFF) | (static_cast<ColorRef>(green & 0xFF) << 8) |
         (static_cast<ColorRef>(blue & 0xFF) << 16);
}
constexpr int RedOf(ColorRef color) { return color & 0xFF; }
constexpr int GreenOf(ColorRef color) { return (color >> 8) & 0xFF; }
constexpr int BlueOf(ColorRef color) { return (color >> 16) & 0xFF; }

}  // namespace zx
