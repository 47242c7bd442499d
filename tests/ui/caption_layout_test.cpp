#include "ui/caption_layout.h"

#include <gtest/gtest.h>

namespace zx {
namespace {

constexpr CaptionMetrics kDefault = {3, 21};

TEST(CaptionLayout, CloseButtonSitsAtTheRightOfTheCaption) {
  for (int width : {100, 345, 1280}) {
    const CaptionLayout layout = LayOutCaptionButtons(kDefault, 0, width, {true, false, false});
    EXPECT_TRUE(layout.close.visible);
    EXPECT_EQ(layout.close.rect, (PixelRect{width - 21, 6, width - 6, 20})) << width;
    EXPECT_FALSE(layout.maximise.visible);
    EXPECT_FALSE(layout.minimise.visible);
  }
}

TEST(CaptionLayout, PositionIsRelativeToTheClientSpanNotTheScreen) {
  const CaptionLayout layout = LayOutCaptionButtons(kDefault, 400, 700, {true, false, false});
  EXPECT_EQ(layout.close.rect, (PixelRect{279, 6, 294, 20}));
}

TEST(CaptionLayout, MaximiseAndMinimiseLineUpLeftOfClose) {
  const CaptionLayout layout = LayOutCaptionButtons(kDefault, 0, 300, {true, true, true});
  EXPECT_EQ(layout.close.rect, (PixelRect{279, 6, 294, 20}));
  EXPECT_EQ(layout.maximise.rect, (PixelRect{261, 6, 276, 20}));
  EXPECT_EQ(layout.minimise.rect, (PixelRect{243, 6, 258, 20}));
  EXPECT_TRUE(layout.maximise.visible && layout.minimise.visible);
}

TEST(CaptionLayout, MinimiseTakesTheMaximisePlaceWithoutAMaximiseBox) {
  const CaptionLayout layout = LayOutCaptionButtons(kDefault, 0, 300, {true, false, true});
  EXPECT_FALSE(layout.maximise.visible);
  EXPECT_TRUE(layout.minimise.visible);
  EXPECT_EQ(layout.minimise.rect, (PixelRect{261, 6, 276, 20}));
}

TEST(CaptionLayout, NoSystemMenuMeansNoCloseButton) {
  EXPECT_FALSE(LayOutCaptionButtons(kDefault, 0, 300, {false, false, false}).close.visible);
}

TEST(CaptionLayout, SizesFollowTheCaptionHeightAndBorder) {
  // width 30 * 3 / 4 = 22, top (30 + 5) / 4 = 8, height 30 * 2 / 3 = 20
  const CaptionLayout layout = LayOutCaptionButtons({5, 30}, 0, 200, {true, true, false});
  EXPECT_EQ(layout.close.rect, (PixelRect{168, 8, 190, 28}));
  EXPECT_EQ(layout.maximise.rect, (PixelRect{141, 8, 163, 28}));
}

}  // namespace
}  // namespace zx
