#include "ui/window_centring.h"

#include <gtest/gtest.h>

namespace zx {
namespace {

constexpr PixelRect kWorkArea{0, 0, 1280, 1000};

TEST(WindowCentring, CentresOnTheReferenceRectangle) {
  const PixelPoint onParent = CentredOrigin({300, 200, 1000, 900}, kWorkArea, 400, 300);
  EXPECT_EQ(onParent.x, 450);
  EXPECT_EQ(onParent.y, 400);
  const PixelPoint onWorkArea = CentredOrigin(kWorkArea, kWorkArea, 401, 301);
  EXPECT_EQ(onWorkArea.x, 640 - 200);
  EXPECT_EQ(onWorkArea.y, 500 - 150);
}

TEST(WindowCentring, PullsTheWindowBackInsideTheWorkArea) {
  const PixelPoint pastRightBottom = CentredOrigin({1200, 950, 1400, 1100}, kWorkArea, 400, 300);
  EXPECT_EQ(pastRightBottom.x, 1280 - 400);
  EXPECT_EQ(pastRightBottom.y, 1000 - 300);
  const PixelPoint pastLeftTop = CentredOrigin({-300, -200, 100, 50}, kWorkArea, 400, 300);
  EXPECT_EQ(pastLeftTop.x, 0);
  EXPECT_EQ(pastLeftTop.y, 0);
}

TEST(WindowCentring, AWindowLargerThanTheWorkAreaKeepsItsLeftAndTopEdgesInside) {
  const PixelRect area{100, 50, 600, 450};
  const PixelPoint origin = CentredOrigin(area, area, 800, 700);
  EXPECT_EQ(origin.x, 100);
  EXPECT_EQ(origin.y, 50);
}

TEST(WindowCentring, HalvesTruncateTowardZeroLikeSignedIntegerDivision) {
  const PixelRect area{-2000, -2000, 2000, 2000};
  const PixelPoint origin = CentredOrigin({-3, -3, 0, 0}, area, 3, 5);
  EXPECT_EQ(origin.x, -1 - 1);  // (-3 + 0) / 2 == -1, 3 / 2 == 1
  EXPECT_EQ(origin.y, -1 - 2);
}

}  // namespace
}  // namespace zx
