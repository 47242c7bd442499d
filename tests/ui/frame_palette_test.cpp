#include "ui/frame_colors.h"

#include <gtest/gtest.h>

namespace zx {
namespace {

TEST(FramePalette, DerivesEveryFrameColourFromTheBaseColour) {
  const FramePalette palette = MakeFramePalette(MakeColorRef(0, 105, 175));
  EXPECT_EQ(palette.base, MakeColorRef(0, 105, 175));
  EXPECT_EQ(palette.innerBorder, MakeColorRef(153, 215, 255));
  EXPECT_EQ(palette.topStrip, MakeColorRef(187, 228, 255));
  EXPECT_EQ(palette.activeTop, MakeColorRef(153, 215, 255));
  EXPECT_EQ(palette.activeBottom, MakeColorRef(251, 253, 255));
  EXPECT_EQ(palette.inactiveTop, MakeColorRef(251, 253, 255));
  EXPECT_EQ(palette.inactiveBottom, MakeColorRef(153, 215, 255));
  EXPECT_EQ(palette.buttonFace, MakeColorRef(203, 234, 255));
  EXPECT_EQ(palette.hotButtonFace, MakeColorRef(255, 255, 255));
  EXPECT_EQ(palette.buttonOutline, MakeColorRef(87, 189, 255));
}

}  // namespace
}  // namespace zx
