// The skinned OK button of the dialog of template 105.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "message_pump.h"
#include "pickers/button_faces.h"
#include "skinned_test_dialog.h"
#include "ui/module_state.h"
#include "window_image.h"

namespace zx::test {
namespace {

constexpr int kNormal = 0;
constexpr int kPressed = 1;
constexpr int kHover = 2;
constexpr int kDisabled = 3;
constexpr POINT kFarAway = {1200, 1000};

LPARAM ClientLParam(int x, int y) { return MAKELPARAM(x, y); }

POINT ButtonCentreOnScreen(HWND button) {
  RECT bounds;
  GetWindowRect(button, &bounds);
  return {(bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2};
}

int ClickCount(const SkinnedTestDialog& dialog, int id) {
  const auto& commands = dialog.Commands();
  return static_cast<int>(std::count_if(commands.begin(), commands.end(), [id](const auto& c) {
    return c.id == id && c.code == BN_CLICKED;
  }));
}

// The pointer rests over the button, as a person's would.
void HoverOver(HWND button) {
  const POINT centre = ButtonCentreOnScreen(button);
  SetCursorPos(centre.x, centre.y);
  SendMessageW(button, WM_MOUSEMOVE, 0, ClientLParam(10, 10));
}

TEST(SkinImageButton, TakesTheSizeOfItsFacesWhenAttached) {
  SkinnedTestDialog().Run([](SkinnedTestDialog& dialog) {
    for (int id : {IDOK, IDCANCEL}) {
      RECT client;
      GetClientRect(dialog.Item(id), &client);
      EXPECT_EQ(client.right, 78) << id;
      EXPECT_EQ(client.bottom, 23) << id;
      EXPECT_EQ(GetWindowLongPtrW(dialog.Item(id), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
    }
  });
}

TEST(SkinImageButton, ShowsTheHoverFaceWhileThePointerIsOver) {
  SkinnedTestDialog().Run([](SkinnedTestDialog& dialog) {
    SkinImageButton& ok = dialog.OkButton();
    SetCursorPos(kFarAway.x, kFarAway.y);
    PumpPending();
    EXPECT_EQ(ok.CurrentFaceIndex(), kNormal);
    HoverOver(ok.Handle());
    EXPECT_EQ(ok.CurrentFaceIndex(), kHover);
    PumpPending();
    EXPECT_EQ(ok.CurrentFaceIndex(), kHover);
    SetCursorPos(kFarAway.x, kFarAway.y);
    EXPECT_TRUE(PumpUntil([&] { return ok.CurrentFaceIndex() == kNormal; }));
  });
}

TEST(SkinImageButton, HeldInsideShowsPressedAndReleasingOutsideSendsNoCommand) {
  SkinnedTestDialog().Run([](SkinnedTestDialog& dialog) {
    SkinImageButton& ok = dialog.OkButton();
    const HWND button = ok.Handle();
    HoverOver(button);
    SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, ClientLParam(10, 10));
    EXPECT_EQ(GetCapture(), button);
    EXPECT_EQ(ok.CurrentFaceIndex(), kPressed);

    SendMessageW(button, WM_MOUSEMOVE, MK_LBUTTON, ClientLParam(-30, -30));
    EXPECT_NE(ok.CurrentFaceIndex(), kPressed);
    SendMessageW(button, WM_MOUSEMOVE, MK_LBUTTON, ClientLParam(12, 12));
    EXPECT_EQ(ok.CurrentFaceIndex(), kPressed);
    SendMessageW(button, WM_MOUSEMOVE, MK_LBUTTON, ClientLParam(200, 5));
    SendMessageW(button, WM_LBUTTONUP, 0, ClientLParam(200, 5));
    PumpPending();
    EXPECT_EQ(ClickCount(dialog, IDOK), 0);
    EXPECT_NE(GetCapture(), button);
  });
}

TEST(SkinImageButton, ReleasedInsideSendsExactlyOneClickToTheParent) {
  SkinnedTestDialog().Run([](SkinnedTestDialog& dialog) {
    const HWND button = dialog.OkButton().Handle();
    HoverOver(button);
    SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, ClientLParam(10, 10));
    SendMessageW(button, WM_LBUTTONUP, 0, ClientLParam(10, 10));
    PumpPending();
    ASSERT_EQ(ClickCount(dialog, IDOK), 1);
    EXPECT_EQ(dialog.Commands().back().control, button);
    EXPECT_EQ(dialog.OkButton().CurrentFaceIndex(), kHover);
    EXPECT_EQ(GetCapture(), nullptr);
  });
}

TEST(SkinImageButton, DisabledShowsTheDisabledFaceWhateverThePointerAndFocus) {
  SkinnedTestDialog().Run([](SkinnedTestDialog& dialog) {
    SkinImageButton& ok = dialog.OkButton();
    const HWND button = ok.Handle();
    SetFocus(button);
    HoverOver(button);
    EnableWindow(button, FALSE);
    EXPECT_EQ(ok.CurrentFaceIndex(), kDisabled);
    SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, ClientLParam(10, 10));
    EXPECT_EQ(ok.CurrentFaceIndex(), kDisabled);
    SendMessageW(button, WM_LBUTTONUP, 0, ClientLParam(10, 10));
    EnableWindow(button, TRUE);
    EXPECT_NE(ok.CurrentFaceIndex(), kDisabled);
  });
}

TEST(SkinImageButton, SpaceNeverClicks) {
  SkinnedTestDialog().Run([](SkinnedTestDialog& dialog) {
    // A plain button beside it clicks on space, so the keys do arrive.
    const HWND plain = CreateWindowExW(0, L"BUTTON", L"plain", WS_CHILD | WS_VISIBLE, 5, 5, 60,
                                       20, dialog.Handle(), reinterpret_cast<HMENU>(900),
                                       nullptr, nullptr);
    for (HWND button : {plain, dialog.OkButton().Handle()}) {
      SetFocus(button);
      SendMessageW(button, WM_KEYDOWN, VK_SPACE, 0x00390001);
      SendMessageW(button, WM_CHAR, L' ', 0x00390001);
      SendMessageW(button, WM_KEYUP, VK_SPACE, 0xC0390001);
      PostMessageW(button, WM_KEYDOWN, VK_SPACE, 0x00390001);
      PostMessageW(button, WM_KEYUP, VK_SPACE, 0xC0390001);
      PumpPending();
    }
    EXPECT_GE(ClickCount(dialog, 900), 1);
    EXPECT_EQ(ClickCount(dialog, IDOK), 0);
    EXPECT_EQ(dialog.OkButton().CurrentFaceIndex(), kNormal);
    DestroyWindow(plain);
  });
}

TEST(SkinImageButton, PaintsTheCurrentFaceAndNothingElse) {
  SkinnedTestDialog().Run([](SkinnedTestDialog& dialog) {
    SkinImageButton& ok = dialog.OkButton();
    const HWND button = ok.Handle();
    const HIMAGELIST faces = CreateButtonFaceList(ResourceInstance(), kOkFaceBitmaps);
    ASSERT_NE(faces, nullptr);
    std::vector<WindowImage> painted;
    for (bool enabled : {true, false}) {
      EnableWindow(button, enabled);
      const WindowImage expected = WindowImage::Draw(78, 23, [&](HDC dc) {
        ImageList_Draw(faces, ok.CurrentFaceIndex(), dc, 0, 0, ILD_NORMAL);
      });
      painted.push_back(WindowImage::PrintClient(button, RGB(255, 0, 0)));
      EXPECT_TRUE(painted.back() == expected) << "enabled " << enabled;
      EXPECT_EQ(SendMessageW(button, WM_ERASEBKGND, 0, 0), 1);
    }
    EXPECT_FALSE(painted[0] == painted[1]);
    // On screen too, after the button class has had its say about the change.
    PumpPending();
    const WindowImage screen = WindowImage::Capture(dialog.Handle());
    RECT onScreen;
    GetWindowRect(button, &onScreen);
    const RECT frame = dialog.WindowRect();
    int differing = 0;
    for (int y = 0; y < 23; ++y) {
      for (int x = 0; x < 78; ++x) {
        differing += screen.At(onScreen.left - frame.left + x, onScreen.top - frame.top + y) !=
                     painted[1].At(x, y);
      }
    }
    EXPECT_EQ(differing, 0);
    EnableWindow(button, TRUE);
    ImageList_Destroy(faces);
  });
}

}  // namespace
}  // namespace zx::test
