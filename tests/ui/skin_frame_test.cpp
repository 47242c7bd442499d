// The skinned frame on the dialog of template 105, driven by sent messages.
#include <gtest/gtest.h>

#include "harness/message_pump.h"
#include "res/resource_ids.h"
#include "skinned_test_dialog.h"
#include "ui/frame_colors.h"
#include "window_image.h"

namespace zx::test {
namespace {

constexpr int kBorder = 3;
constexpr int kCaptionBottom = 24;  // border and caption
const FramePalette kPalette = MakeFramePalette(RGB(0, 105, 175));

int Width(const SkinnedTestDialog& dialog) {
  return dialog.WindowRect().right - dialog.WindowRect().left;
}

TEST(SkinFrame, ReplacesTheSystemFrameAroundTheTemplatesClientArea) {
  SkinnedTestDialog().Run([](SkinnedTestDialog& dialog) {
    const HWND window = dialog.Handle();
    EXPECT_EQ(GetWindowLongPtrW(window, GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME), 0);
    EXPECT_EQ(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME, 0);
    RECT wanted = {0, 0, 226, 210};  // the template's size in dialog units
    MapDialogRect(window, &wanted);
    for (const wchar_t* text : {L"", L"Another title"}) {  // a new text keeps the sizes
      if (*text) SetWindowTextW(window, text);
      RECT client;
      GetClientRect(window, &client);
      EXPECT_TRUE(EqualRect(&client, &wanted));
      POINT origin = {0, 0};
      ClientToScreen(window, &origin);
      const RECT bounds = dialog.WindowRect();
      EXPECT_EQ(origin.x - bounds.left, kBorder);
      EXPECT_EQ(origin.y - bounds.top, kCaptionBottom);
      EXPECT_EQ(bounds.right - bounds.left, client.right + 2 * kBorder);
      EXPECT_EQ(bounds.bottom - bounds.top, client.bottom + kCaptionBottom + kBorder);
    }
  });
}

// x from the right edge when negative; the close button spans -21..-7, 6..19.
TEST(SkinFrame, HitTestFindsTheCloseButtonAndTheCaptionWhereTheyArePainted) {
  const struct {
    int x, y;
    LRESULT hit;
  } points[] = {
      {-21, 6, HTCLOSE},    {-7, 19, HTCLOSE},    {-14, 12, HTCLOSE},  {-22, 6, HTCAPTION},
      {-6, 19, HTCAPTION},  {-21, 5, HTCAPTION},  {-7, 20, HTCAPTION}, {-21, 23, HTCAPTION},
      {-32, 12, HTCAPTION}, {-50, 12, HTCAPTION},  // where maximise and minimise would be
      {0, 0, HTCAPTION},    {50, 10, HTCAPTION},  {-1, 23, HTCAPTION}, {-21, 24, HTCLIENT},
      {50, 100, HTCLIENT},
  };
  SkinnedTestDialog().Run([&](SkinnedTestDialog& dialog) {
    for (const auto& p : points) {
      const int x = p.x < 0 ? Width(dialog) + p.x : p.x;
      EXPECT_EQ(SendMessageW(dialog.Handle(), WM_NCHITTEST, 0, dialog.ScreenPoint(x, p.y)), p.hit)
          << p.x << ", " << p.y;
    }
  });
}

TEST(SkinFrame, CloseActsOnlyOnAPressAndAReleaseBothOverTheButton) {
  const struct {
    WPARAM press, release;  // 0: no press
    int closes;
  } clicks[] = {{HTCLOSE, HTCAPTION, 0},
                {HTCLIENT, HTCLOSE, 0},
                {HTCLOSE, HTCLOSE, 1},
                {0, HTCLOSE, 0}};  // the press is used up by the first release
  SkinnedTestDialog().Run([&](SkinnedTestDialog& dialog) {
    int closes = 0;
    for (const auto& click : clicks) {
      if (click.press) SendMessageW(dialog.Handle(), WM_NCLBUTTONDOWN, click.press, 0);
      SendMessageW(dialog.Handle(), WM_NCLBUTTONUP, click.release, 0);
      PumpPendingMessages();
      EXPECT_EQ(dialog.Count(WM_SYSCOMMAND, SC_CLOSE), closes += click.closes) << &click - clicks;
    }
    // A double click on the caption maximises nothing without a maximise box.
    const RECT before = dialog.WindowRect();
    SendMessageW(dialog.Handle(), WM_NCLBUTTONDBLCLK, HTCAPTION, dialog.ScreenPoint(50, 10));
    PumpPendingMessages();
    const RECT after = dialog.WindowRect();
    EXPECT_TRUE(EqualRect(&before, &after));
    EXPECT_EQ(dialog.Count(WM_SYSCOMMAND, SC_MAXIMIZE), 0);
    // A press on the caption starts the system's move loop (Esc ends it).
    PostMessageW(dialog.Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    SendMessageW(dialog.Handle(), WM_NCLBUTTONDOWN, HTCAPTION, dialog.ScreenPoint(50, 10));
    EXPECT_EQ(dialog.Count(WM_ENTERSIZEMOVE), 1);
  });
}

bool IsNear(COLORREF a, COLORREF b) {
  return abs(GetRValue(a) - GetRValue(b)) <= 1 && abs(GetGValue(a) - GetGValue(b)) <= 1 &&
         abs(GetBValue(a) - GetBValue(b)) <= 1;
}

TEST(SkinFrame, PaintsFrameCaptionAndBackgroundInTheBaseColourFamily) {
  for (const bool active : {true, false}) {
    SkinnedTestDialog().Run([&](SkinnedTestDialog& dialog) {
      SendMessageW(dialog.Handle(), WM_ACTIVATE, active ? WA_ACTIVE : WA_INACTIVE, 0);
      const WindowImage image = WindowImage::Capture(dialog.Handle());
      const int w = image.Width(), h = image.Height(), x = w - 40;
      // The caption's vertical gradient runs the other way while inactive.
      const COLORREF top = active ? kPalette.activeTop : kPalette.inactiveTop;
      const COLORREF bottom = active ? kPalette.activeBottom : kPalette.inactiveBottom;
      const auto step = [&](int from, int to) { return from + (to - from) * 19 / 21; };
      const COLORREF nearBottom =  // the caption's second last row, 19 of 21 steps down
          RGB(step(GetRValue(top), GetRValue(bottom)), step(GetGValue(top), GetGValue(bottom)),
              step(GetBValue(top), GetBValue(bottom)));
      const struct {
        int x, y;
        COLORREF expected;
      } probes[] = {
          {0, h / 2, kPalette.base},
          {w - 1, h / 2, kPalette.base},
          {w / 2, 0, kPalette.base},
          {w / 2, h - 1, kPalette.base},
          {1, h / 2, kPalette.innerBorder},
          {2, h / 2, kPalette.innerBorder},
          {w / 2, 2, kPalette.topStrip},
          {x, kBorder, top},
          {x, kCaptionBottom - 1, kPalette.innerBorder},          // the caption's bottom line
          {kBorder + 2, kCaptionBottom + 2, RGB(239, 249, 255)},  // the client background
          {w - kBorder - 3, h - kBorder - 3, RGB(239, 249, 255)},
      };
      for (const auto& probe : probes) {
        EXPECT_EQ(image.At(probe.x, probe.y), probe.expected)
            << active << " " << probe.x << "," << probe.y;
      }
      EXPECT_TRUE(IsNear(image.At(x, kCaptionBottom - 2), nearBottom))
          << std::hex << image.At(x, 22);
    });
  }
}

TEST(SkinFrame, ReactivatedDialogGetsItsFocusedControlBack) {
  SkinnedTestDialog().Run([](SkinnedTestDialog& dialog) {
    SetFocus(dialog.Item(IDCANCEL));
    SendMessageW(dialog.Handle(), WM_ACTIVATE, WA_INACTIVE, 0);
    SetFocus(nullptr);
    SendMessageW(dialog.Handle(), WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_EQ(GetFocus(), dialog.Item(IDCANCEL));
  });
}

}  // namespace
}  // namespace zx::test
