// The skinned frame's colours: shades of a colour in HSL space, quantised to
// bytes on the way in and out. Every value below was worked out with
// Python's colorsys and the same byte truncation, not by this code.
#include "ui/frame_colors.h"

#include <gtest/gtest.h>

#include <array>

namespace zx {
namespace {

constexpr ColorRef kBase = MakeColorRef(0, 105, 175);
constexpr ColorRef kGrey = MakeColorRef(128, 128, 128);
constexpr ColorRef kDusk = MakeColorRef(90, 120, 150);  // saturation 63 of 255: percents tell

TEST(FrameColors, AdjustColorGivesTheShadeOfTheHueAndPercents) {
  const struct {
    ColorRef color;
    int lightness, saturation;
    ColorRef expected;
  } cases[] = {
      // Byte quantisation shifts a colour even without adjustment.
      {kBase, 0, 0, MakeColorRef(0, 106, 174)},
      // Hue sectors: red with more blue than green, green.
      {MakeColorRef(200, 50, 100), 50, 30, MakeColorRef(236, 143, 176)},
      {MakeColorRef(60, 180, 90), 70, 30, MakeColorRef(187, 240, 199)},
      // Grey has hue 0, so saturation tints it red; negative lightness darkens.
      {kGrey, 50, 30, MakeColorRef(210, 171, 171)},
      {kGrey, -50, 0, MakeColorRef(64, 64, 64)},
      // Percents beyond a hundred are clamped.
      {kDusk, 250, 0, MakeColorRef(255, 255, 255)},
      {kDusk, -300, 0, MakeColorRef(0, 0, 0)},
      {kDusk, 70, 180, MakeColorRef(173, 215, 255)},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(AdjustColor(c.color, c.lightness, c.saturation), c.expected)
        << std::hex << c.color << std::dec << " (" << c.lightness << ", " << c.saturation << ")";
  }
}

// The dusk base tells saturation percents apart, which the default base does not.
TEST(FrameColors, PaletteDerivesEveryFrameColourFromTheBase) {
  const FramePalette p = MakeFramePalette(kDusk);
  EXPECT_EQ(p.base, kDusk);
  EXPECT_EQ(
      (std::array{p.innerBorder, p.topStrip, p.activeTop, p.activeBottom, p.inactiveTop,
                  p.inactiveBottom, p.buttonFace, p.hotButtonFace, p.buttonOutline}),
      (std::array{
          MakeColorRef(203, 214, 224), MakeColorRef(221, 228, 234), MakeColorRef(194, 214, 233),
          MakeColorRef(252, 253, 253), MakeColorRef(252, 253, 253), MakeColorRef(197, 214, 230),
          MakeColorRef(224, 234, 243), MakeColorRef(255, 255, 255), MakeColorRef(155, 188, 219)}));
}

}  // namespace
}  // namespace zx
