#include "ui/frame_colors.h"

#include <gtest/gtest.h>

namespace zx {
namespace {

constexpr ColorRef kBase = MakeColorRef(0, 105, 175);
constexpr ColorRef kGrey = MakeColorRef(128, 128, 128);

struct Case {
  ColorRef color;
  int lightness;
  int saturation;
  ColorRef expected;
};

void ExpectAll(std::initializer_list<Case> cases) {
  for (const Case& c : cases) {
    EXPECT_EQ(AdjustColor(c.color, c.lightness, c.saturation), c.expected)
        << "colour " << std::hex << c.color << std::dec << " (" << c.lightness << ", "
        << c.saturation << ")";
  }
}

TEST(AdjustColor, ByteQuantisationShiftsTheBaseColourEvenWithoutAdjustment) {
  ExpectAll({{kBase, 0, 0, MakeColorRef(0, 106, 174)},
             {MakeColorRef(255, 0, 0), 0, 0, MakeColorRef(254, 0, 0)},
             {kGrey, 0, 0, kGrey}});
}

TEST(AdjustColor, GivesTheFrameShadesOfTheBaseColour) {
  ExpectAll({
      {kBase, 70, 0, MakeColorRef(153, 215, 255)},
      {kBase, 70, 20, MakeColorRef(153, 215, 255)},
      {kBase, 70, 30, MakeColorRef(153, 215, 255)},
      {kBase, 80, 0, MakeColorRef(187, 228, 255)},
      {kBase, 99, 20, MakeColorRef(251, 253, 255)},
      {kBase, 99, 30, MakeColorRef(251, 253, 255)},
      {kBase, 85, 30, MakeColorRef(203, 234, 255)},
      {kBase, 100, 30, MakeColorRef(255, 255, 255)},
      {kBase, 50, 30, MakeColorRef(87, 189, 255)},
  });
}

TEST(AdjustColor, GreyHasHueZeroSoSaturationTintsItRed) {
  ExpectAll({{kGrey, 50, 30, MakeColorRef(210, 171, 171)},
             {kGrey, 50, 0, MakeColorRef(191, 191, 191)}});
}

TEST(AdjustColor, NegativeLightnessDarkens) {
  ExpectAll({{kGrey, -50, 0, MakeColorRef(64, 64, 64)},
             {kGrey, -100, 0, MakeColorRef(0, 0, 0)},
             {MakeColorRef(255, 255, 255), -50, 0, MakeColorRef(127, 127, 127)}});
}

TEST(AdjustColor, FullLightnessGivesWhiteAndBlackStaysBlack) {
  ExpectAll({{kBase, 100, 0, MakeColorRef(255, 255, 255)},
             {MakeColorRef(0, 0, 0), 0, 100, MakeColorRef(0, 0, 0)}});
}

TEST(AdjustColor, PercentsBeyondAHundredAreClamped) {
  for (ColorRef color : {kBase, kGrey, MakeColorRef(12, 200, 90)}) {
    EXPECT_EQ(AdjustColor(color, 250, 0), AdjustColor(color, 100, 0));
    EXPECT_EQ(AdjustColor(color, -300, 0), AdjustColor(color, -100, 0));
    EXPECT_EQ(AdjustColor(color, 50, 180), AdjustColor(color, 50, 100));
  }
}

}  // namespace
}  // namespace zx
