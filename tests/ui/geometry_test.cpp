// Where the skinned caption puts its buttons and where a dialog is centred:
// arithmetic on rectangles.
#include <gtest/gtest.h>

#include "ui/caption_layout.h"
#include "ui/window_centring.h"

namespace zx {
namespace {

TEST(Geometry, CaptionButtonsLineUpFromTheRightOfTheClientSpanCloseOutermost) {
  constexpr PixelRect kNone{};
  const struct {
    CaptionMetrics metrics;
    int clientLeft, clientRight;
    CaptionBoxes boxes;                         // system menu, maximise, minimise
    PixelRect close{}, maximise{}, minimise{};  // empty: not shown
  } cases[] = {
      {{3, 21}, 400, 700, {true, false, false}, {279, 6, 294, 20}},
      {{3, 21}, 0, 300, {true, false, true}, {279, 6, 294, 20}, kNone, {261, 6, 276, 20}},
      {{3, 21}, 0, 300, {false, false, false}},
      // width 30 * 3 / 4, top (30 + 5) / 4, height 30 * 2 / 3
      {{5, 30}, 0, 200, {true, true, false}, {168, 8, 190, 28}, {141, 8, 163, 28}},
  };
  for (const auto& c : cases) {
    const CaptionLayout layout =
        LayOutCaptionButtons(c.metrics, c.clientLeft, c.clientRight, c.boxes);
    const std::pair<CaptionPlacement, PixelRect> buttons[] = {
        {layout.close, c.close}, {layout.maximise, c.maximise}, {layout.minimise, c.minimise}};
    for (const auto& [placement, rect] : buttons) {
      EXPECT_EQ(placement.visible, !(rect == kNone)) << &c - cases;
      EXPECT_TRUE(!placement.visible || placement.rect == rect) << &c - cases;
    }
  }
}

TEST(Geometry, DialogIsCentredOnItsReferenceThenPulledInsideTheWorkArea) {
  constexpr PixelRect kArea{0, 0, 1280, 1000};
  const struct {
    PixelRect reference, area;
    int width, height, x, y;
  } cases[] = {
      {{1200, 950, 1400, 1100}, kArea, 400, 300, 880, 700},           // past the right and bottom
      {{-300, -200, 100, 50}, kArea, 400, 300, 0, 0},                 // past the left and top
      {{100, 50, 600, 450}, {100, 50, 600, 450}, 800, 700, 100, 50},  // too large: left, top kept
      {{-3, -3, 0, 0}, {-2000, -2000, 2000, 2000}, 3, 5, -2, -3},  // halves truncate towards zero
  };
  for (const auto& c : cases) {
    const PixelPoint origin = CentredOrigin(c.reference, c.area, c.width, c.height);
    EXPECT_EQ(origin.x, c.x) << &c - cases;
    EXPECT_EQ(origin.y, c.y) << &c - cases;
  }
}

}  // namespace
}  // namespace zx
