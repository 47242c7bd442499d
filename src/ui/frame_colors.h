#pragma once
// Colours of the skinned frame, usable without <windows.h>: the Win32
// COLORREF layout (0x00BBGGRR), lighter or darker shades derived in HSL
// space, and the frame's palette derived from its one base colour.
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

// A positive percent moves lightness (saturation) that far towards full, a
// negative one scales it down; both percents are clamped to -100..100.
ColorRef AdjustColor(ColorRef color, int lightnessPercent, int saturationPercent);

struct FramePalette {
  ColorRef base;            // outer frame, caption text, caption button glyphs
  ColorRef innerBorder;     // two inner frame lines, caption bottom line
  ColorRef topStrip;        // outline of the strip above the caption
  ColorRef activeTop;       // caption gradient while active
  ColorRef activeBottom;
  ColorRef inactiveTop;     // caption gradient while inactive
  ColorRef inactiveBottom;
  ColorRef buttonFace;      // caption button, normal
  ColorRef hotButtonFace;   // caption button under the pointer
  ColorRef buttonOutline;
};

FramePalette MakeFramePalette(ColorRef base);

}  // namespace zx
