// The skinned frame on the dialog of template 105, driven by sent and
// posted messages.
#include <gtest/gtest.h>

#include "message_pump.h"
#include "ui/window_object.h"
#include "skinned_test_dialog.h"
#include "window_image.h"

namespace zx::test {
namespace {

constexpr int kBorder = 3;
constexpr int kCaption = 21;
constexpr COLORREF kBase = RGB(0, 105, 175);
constexpr COLORREF kInnerBorder = RGB(153, 215, 255);
constexpr COLORREF kTopStrip = RGB(187, 228, 255);
constexpr COLORREF kGradientLight = RGB(251, 253, 255);
constexpr COLORREF kClientBackground = RGB(239, 249, 255);
constexpr COLORREF kButtonFace = RGB(203, 234, 255);
constexpr COLORREF kHotButtonFace = RGB(255, 255, 255);

LPARAM ScreenLParam(POINT point) { return MAKELPARAM(point.x, point.y); }

LRESULT HitTest(SkinnedTestDialog& dialog, POINT windowPoint) {
  return SendMessageW(dialog.Handle(), WM_NCHITTEST, 0,
                      ScreenLParam(dialog.ToScreen(windowPoint)));
}

// The close button of a window w pixels wide.
RECT CloseButton(int width) { return {width - 21, 6, width - 6, 20}; }

void ClickCaptionButton(SkinnedTestDialog& dialog, WPARAM pressAt, WPARAM releaseAt) {
  const LPARAM point = ScreenLParam(dialog.ToScreen({10, 10}));
  SendMessageW(dialog.Handle(), WM_NCLBUTTONDOWN, pressAt, point);
  SendMessageW(dialog.Handle(), WM_NCLBUTTONUP, releaseAt, point);
  PumpPending();
}

// The vertical caption gradient from top to bottom at a row of the window;
// its last row lies under the caption's bottom line.
COLORREF GradientAt(COLORREF top, COLORREF bottom, int row) {
  const int step = row - kBorder;
  auto channel = [&](int from, int to) { return from + (to - from) * step / kCaption; };
  return RGB(channel(GetRValue(top), GetRValue(bottom)), channel(GetGValue(top), GetGValue(bottom)),
             channel(GetBValue(top), GetBValue(bottom)));
}

bool SameRect(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

void AddMinimiseAndMaximiseBoxes(HWND dialog) {
  SetWindowLongPtrW(dialog, GWL_STYLE,
                    GetWindowLongPtrW(dialog, GWL_STYLE) | WS_MINIMIZEBOX | WS_MAXIMIZEBOX);
  SetWindowPos(dialog, nullptr, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
}

TEST(SkinFrame, ReplacesTheSystemFrameAndKeepsTheTemplateClientSize) {
  SkinnedTestDialog().Run([](SkinnedTestDialog& dialog) {
    const HWND window = dialog.Handle();
    EXPECT_EQ(GetWindowLongPtrW(window, GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME), 0);
    EXPECT_EQ(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME, 0);
    RECT templateSize = {0, 0, 226, 210};
    MapDialogRect(window, &templateSize);
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, templateSize.right);
    EXPECT_EQ(client.bottom, templateSize.bottom);
    const RECT bounds = dialog.WindowRect();
    EXPECT_EQ(bounds.right - bounds.left, client.right + 2 * kBorder);
    EXPECT_EQ(bounds.bottom - bounds.top, client.bottom + kCaption + 2 * kBorder);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    EXPECT_EQ(origin.x - bounds.left, kBorder);
    EXPECT_EQ(origin.y - bounds.top, kBorder + kCaption);
  });
}

TEST(SkinFrame, NewWindowTextKeepsTheClientSize) {
  SkinnedTestDialog().Run([](SkinnedTestDialog& dialog) {
    RECT before;
    GetClientRect(dialog.Handle(), &before);
    const RECT outerBefore = dialog.WindowRect();
    SetWindowTextW(dialog.Handle(), L"Another title");
    RECT after;
    GetClientRect(dialog.Handle(), &after);
    EXPECT_TRUE(SameRect(before, after));
    EXPECT_TRUE(SameRect(outerBefore, dialog.WindowRect()));
  });
}

TEST(SkinFrame, HitTestGivesCloseAndCaptionButNeverMinimiseOrMaximise) {
  SkinnedTestDialog().Run([](SkinnedTestDialog& dialog) {
    const RECT bounds = dialog.WindowRect();
    const int width = bounds.right - bounds.left;
    const int height = bounds.bottom - bounds.top;
    const RECT close = CloseButton(width);
    int wrong = 0;
    // Every third pixel, plus the close button's edges.
    for (int y = 0; y < height; y += 3) {
      for (int x = 0; x < width; x += 3) {
        const POINT point = {x, y};
        const LRESULT hit = HitTest(dialog, point);
        LRESULT expected = HTCLIENT;
        if (PtInRect(&close, point)) {
          expected = HTCLOSE;
        } else if (y < kBorder + kCaption) {
          expected = HTCAPTION;
        }
        // The bottom and side borders answer what the system says; only
        // the caption buttons are ours there.
        const bool border = x < kBorder || x >= width - kBorder || y >= height - kBorder;
        if (hit == HTMINBUTTON || hit == HTMAXBUTTON || (!border && hit != expected)) {
          if (++wrong <= 5) ADD_FAILURE() << "hit " << hit << " at " << x << "," << y;
        }
      }
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(HitTest(dialog, {close.left, close.top}), HTCLOSE);
    EXPECT_EQ(HitTest(dialog, {close.right - 1, close.bottom - 1}), HTCLOSE);
    EXPECT_EQ(HitTest(dialog, {close.left - 1, close.top}), HTCAPTION);
    EXPECT_EQ(HitTest(dialog, {close.right, close.bottom - 1}), HTCAPTION);
    EXPECT_EQ(HitTest(dialog, {close.left, kBorder + kCaption - 1}), HTCAPTION);
    EXPECT_EQ(HitTest(dialog, {close.left, kBorder + kCaption}), HTCLIENT);
  });
}

TEST(SkinFrame, CloseActsOnlyWhenPressedAndReleasedOverTheCloseButton) {
  SkinnedTestDialog().Run([](SkinnedTestDialog& dialog) {
    ClickCaptionButton(dialog, HTCLOSE, HTCAPTION);
    EXPECT_EQ(dialog.SysCommandCount(SC_CLOSE), 0);
    ClickCaptionButton(dialog, HTCLIENT, HTCLOSE);
    EXPECT_EQ(dialog.SysCommandCount(SC_CLOSE), 0);
    ClickCaptionButton(dialog, HTCLOSE, HTCLOSE);
    EXPECT_EQ(dialog.SysCommandCount(SC_CLOSE), 1);
    // The press was used up: a second release alone does nothing.
    SendMessageW(dialog.Handle(), WM_NCLBUTTONUP, HTCLOSE, 0);
    PumpPending();
    EXPECT_EQ(dialog.SysCommandCount(SC_CLOSE), 1);
  });
}

TEST(SkinFrame, MaximiseFillsTheWorkAreaAndRestoreReturnsTheExactRectangle) {
  SkinnedTestDialog().Run([](SkinnedTestDialog& dialog) {
    const HWND window = dialog.Handle();
    MoveWindow(window, 37, 41, 351, 377, TRUE);
    const RECT before = dialog.WindowRect();
    RECT workArea;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);

    SendMessageW(window, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    EXPECT_TRUE(SameRect(dialog.WindowRect(), workArea));
    EXPECT_FALSE(IsZoomed(window));  // the frame's own state, not the system's
    SendMessageW(window, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    EXPECT_TRUE(SameRect(dialog.WindowRect(), before));
  });
}

TEST(SkinFrame, CaptionDoubleClickWithoutMaximiseBoxDoesNothing) {
  SkinnedTestDialog().Run([](SkinnedTestDialog& dialog) {
    const RECT before = dialog.WindowRect();
    const LRESULT answer = SendMessageW(dialog.Handle(), WM_NCLBUTTONDBLCLK, HTCAPTION,
                                        ScreenLParam(dialog.ToScreen({50, 10})));
    EXPECT_EQ(answer, 0);
    PumpPending();
    EXPECT_TRUE(SameRect(dialog.WindowRect(), before));
    EXPECT_EQ(dialog.SysCommandCount(SC_MAXIMIZE), 0);
  });
}

TEST(SkinFrame, CaptionDragMovesOnlyWhileNotMaximised) {
  SkinnedTestDialog().Run([](SkinnedTestDialog& dialog) {
    const HWND window = dialog.Handle();
    const LPARAM caption = ScreenLParam(dialog.ToScreen({50, 10}));
    // Escape ends a move loop at once and puts the window back.
    auto pressCaption = [&] {
      PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0);
      SendMessageW(window, WM_NCLBUTTONDOWN, HTCAPTION, caption);
      PumpPending();
    };
    pressCaption();
    EXPECT_EQ(dialog.MoveLoopCount(), 1);

    SendMessageW(window, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    const RECT maximised = dialog.WindowRect();
    dialog.ClearRecords();
    pressCaption();
    EXPECT_EQ(dialog.MoveLoopCount(), 0);
    EXPECT_TRUE(SameRect(dialog.WindowRect(), maximised));
  });
}

// A top-level window that counts the system commands posted to it.
class OwnerWindow : public WindowObject {
 public:
  OwnerWindow() {
    Subclass(CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPED, 0, 0, 50, 50, nullptr,
                             nullptr, nullptr, nullptr));
  }
  ~OwnerWindow() override { DestroyWindow(Handle()); }

  int minimiseCommands = 0;

 protected:
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result) override {
    if (message != WM_SYSCOMMAND || (wParam & 0xFFF0) != SC_MINIMIZE) return false;
    ++minimiseCommands;
    result = 0;
    return true;
  }
};

TEST(SkinFrame, MinimiseAndMaximiseBoxesAppearWhenTheStyleAsksForThem) {
  OwnerWindow owner;
  SkinnedTestDialog().Run([&owner](SkinnedTestDialog& dialog) {
    const HWND window = dialog.Handle();
    AddMinimiseAndMaximiseBoxes(window);
    const RECT bounds = dialog.WindowRect();
    const int width = bounds.right - bounds.left;
    EXPECT_EQ(HitTest(dialog, {width - 14, 12}), HTCLOSE);
    EXPECT_EQ(HitTest(dialog, {width - 32, 12}), HTMAXBUTTON);
    EXPECT_EQ(HitTest(dialog, {width - 50, 12}), HTMINBUTTON);

    ClickCaptionButton(dialog, HTMINBUTTON, HTMINBUTTON);
    EXPECT_EQ(dialog.SysCommandCount(SC_MINIMIZE), 1);
    EXPECT_EQ(owner.minimiseCommands, 1);
    RECT workArea;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
    ClickCaptionButton(dialog, HTMAXBUTTON, HTMAXBUTTON);
    EXPECT_TRUE(SameRect(dialog.WindowRect(), workArea));
    SendMessageW(window, WM_NCLBUTTONDBLCLK, HTCAPTION, ScreenLParam(dialog.ToScreen({50, 10})));
    EXPECT_TRUE(SameRect(dialog.WindowRect(), bounds));
  }, owner.Handle());
}

TEST(SkinFrame, CloseButtonTurnsHotUnderThePointerAndBackWhenItLeaves) {
  SkinnedTestDialog().Run([](SkinnedTestDialog& dialog) {
    const HWND window = dialog.Handle();
    const RECT bounds = dialog.WindowRect();
    const RECT close = CloseButton(bounds.right - bounds.left);
    const POINT centre = dialog.ToScreen({(close.left + close.right) / 2, 12});
    auto faceColour = [&] {
      return WindowImage::Capture(window).At(close.left + 1, close.top + 1);
    };
    EXPECT_EQ(faceColour(), kButtonFace) << Describe(faceColour());

    SetCursorPos(centre.x, centre.y);
    SendMessageW(window, WM_NCMOUSEMOVE, HTCLOSE, ScreenLParam(centre));
    EXPECT_EQ(faceColour(), kHotButtonFace) << Describe(faceColour());

    // Over the caption text the button is normal again.
    const POINT text = dialog.ToScreen({20, 12});
    SetCursorPos(text.x, text.y);
    SendMessageW(window, WM_NCMOUSEMOVE, HTCAPTION, ScreenLParam(text));
    EXPECT_EQ(faceColour(), kButtonFace) << Describe(faceColour());

    // Leaving the frame altogether ends the hot state through the
    // non-client leave notification.
    SetCursorPos(centre.x, centre.y);
    SendMessageW(window, WM_NCMOUSEMOVE, HTCLOSE, ScreenLParam(centre));
    SetCursorPos(5, 5);
    EXPECT_TRUE(PumpUntil([&] { return faceColour() == kButtonFace; }))
        << Describe(faceColour());
  });
}

TEST(SkinFrame, PaintsFrameCaptionAndBackgroundInTheBaseColourFamily) {
  SkinnedTestDialog().Run([](SkinnedTestDialog& dialog) {
    const HWND window = dialog.Handle();
    SendMessageW(window, WM_ACTIVATE, WA_ACTIVE, 0);
    const WindowImage image = WindowImage::Capture(window);
    const int w = image.Width();
    const int h = image.Height();
    const int captionBottom = kBorder + kCaption;
    struct Probe {
      int x, y;
      COLORREF expected;
      int tolerance;
      const char* what;
    };
    const Probe probes[] = {
        {0, h / 2, kBase, 0, "outer frame, left"},
        {w - 1, h / 2, kBase, 0, "outer frame, right"},
        {w / 2, 0, kBase, 0, "outer frame, top"},
        {w / 2, h - 1, kBase, 0, "outer frame, bottom"},
        {1, h / 2, kInnerBorder, 0, "inner frame line 1"},
        {2, h / 2, kInnerBorder, 0, "inner frame line 2"},
        {w / 2, 2, kTopStrip, 0, "top strip"},
        {w - 40, kBorder, kInnerBorder, 0, "caption gradient, top end"},
        {w - 40, captionBottom - 2, GradientAt(kInnerBorder, kGradientLight, captionBottom - 2), 1,
         "caption gradient, bottom end"},
        {w - 40, captionBottom - 1, kInnerBorder, 0, "caption bottom line"},
        {kBorder + 2, captionBottom + 2, kClientBackground, 0, "client background"},
        {w - kBorder - 3, h - kBorder - 3, kClientBackground, 0, "client background corner"},
    };
    for (const Probe& probe : probes) {
      const COLORREF actual = image.At(probe.x, probe.y);
      EXPECT_TRUE(IsNear(actual, probe.expected, probe.tolerance))
          << probe.what << " at " << probe.x << "," << probe.y << ": " << Describe(actual)
          << " instead of " << Describe(probe.expected);
    }
    EXPECT_TRUE(image.SaveBmp(L"" ZX_SCREENSHOT_FILE));
  });
}

// Pixels of one colour in the caption band between two columns.
int CaptionPixels(const WindowImage& image, COLORREF color, int fromX, int toX) {
  int count = 0;
  for (int y = kBorder; y < kBorder + kCaption - 1; ++y) {
    for (int x = fromX; x < toX; ++x) count += image.At(x, y) == color;
  }
  return count;
}

WindowImage RepaintedFrame(HWND window) {
  SendMessageW(window, WM_NCPAINT, 1, 0);
  return WindowImage::Capture(window);
}

TEST(SkinFrame, CaptionShowsItsOwnTextInTheBaseColour) {
  SkinnedTestDialog().Run([](SkinnedTestDialog& dialog) {
    const HWND window = dialog.Handle();
    const int textEnd = dialog.WindowRect().right - dialog.WindowRect().left - 30;
    dialog.SetCaptionText(L"");
    EXPECT_EQ(CaptionPixels(RepaintedFrame(window), kBase, kBorder, textEnd), 0);
    dialog.SetCaptionText(L"Scan locations");
    const WindowImage image = RepaintedFrame(window);
    EXPECT_GT(CaptionPixels(image, kBase, 6, 120), 20);
    EXPECT_EQ(CaptionPixels(image, kBase, kBorder, 6), 0) << "text starts at x = 6";
    EXPECT_EQ(CaptionPixels(image, kBase, 120, textEnd), 0);
    wchar_t title[64];
    GetWindowTextW(window, title, 64);
    EXPECT_STREQ(title, L"选择扫描路径") << "the window text stays";
  });
}

TEST(SkinFrame, SmallIconGoesBeforeTheCaptionText) {
  SkinnedTestDialog().Run([](SkinnedTestDialog& dialog) {
    const HWND window = dialog.Handle();
    const int iconWidth = GetSystemMetrics(SM_CXSMICON);
    const int textStart = iconWidth + kBorder + 6;
    dialog.SetCaptionText(L"WW");
    const WindowImage plain = RepaintedFrame(window);
    EXPECT_GT(CaptionPixels(plain, kBase, 6, 6 + iconWidth), 0);

    SendMessageW(window, WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(LoadIconW(nullptr, MAKEINTRESOURCEW(32512))));
    const WindowImage withIcon = RepaintedFrame(window);
    int changedUnderIcon = 0;
    for (int y = 5; y < kBorder + kCaption - 1; ++y) {
      for (int x = 6; x < 6 + iconWidth; ++x) changedUnderIcon += plain.At(x, y) != withIcon.At(x, y);
    }
    EXPECT_GT(changedUnderIcon, 10);
    EXPECT_EQ(CaptionPixels(withIcon, kBase, 6 + iconWidth, textStart), 0);
    EXPECT_GT(CaptionPixels(withIcon, kBase, textStart, textStart + 30), 0);
  });
}

TEST(SkinFrame, ReactivatedDialogGetsItsFocusedControlBack) {
  SkinnedTestDialog().Run([](SkinnedTestDialog& dialog) {
    const HWND window = dialog.Handle();
    EXPECT_TRUE(IsChild(window, GetFocus()));
    SetFocus(dialog.Item(IDCANCEL));
    SendMessageW(window, WM_ACTIVATE, WA_INACTIVE, 0);
    SetFocus(nullptr);
    SendMessageW(window, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_EQ(GetFocus(), dialog.Item(IDCANCEL));
  });
}

TEST(SkinFrame, InactiveCaptionRunsTheGradientTheOtherWay) {
  SkinnedTestDialog().Run([](SkinnedTestDialog& dialog) {
    const HWND window = dialog.Handle();
    SendMessageW(window, WM_ACTIVATE, WA_INACTIVE, 0);
    const WindowImage image = WindowImage::Capture(window);
    const int x = image.Width() - 40;
    const int lastRow = kBorder + kCaption - 2;
    EXPECT_EQ(image.At(x, kBorder), kGradientLight) << Describe(image.At(x, kBorder));
    EXPECT_TRUE(IsNear(image.At(x, lastRow), GradientAt(kGradientLight, kInnerBorder, lastRow), 1))
        << Describe(image.At(x, lastRow));
  });
}

}  // namespace
}  // namespace zx::test
