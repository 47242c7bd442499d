// The skinned OK button and prompt label of the dialog of template 105.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include "harness/message_pump.h"
#include "pickers/button_faces.h"
#include "res/resource_ids.h"
#include "skinned_test_dialog.h"
#include "ui/module_state.h"
#include "window_image.h"

namespace zx::test {
namespace {

enum Face { kNormal, kPressed, kHover, kDisabled };

TEST(SkinImageButton, ShowsTheFaceOfItsStateAndClicksOnlyOnAReleaseInside) {
  SkinnedTestDialog().Run([](SkinnedTestDialog& dialog) {
    const HWND button = dialog.OkButton().Handle();
    const HIMAGELIST faces = CreateButtonFaceList(ResourceInstance(), kOkFaceBitmaps);
    const auto shows = [&](int face) {  // painted, and nothing else
      return WindowImage::PrintClient(button, RGB(255, 0, 0)) ==
             WindowImage::Draw(78, 23,
                               [&](HDC dc) { ImageList_Draw(faces, face, dc, 0, 0, ILD_NORMAL); });
    };
    const auto mouse = [&](UINT message, int x) {
      SendMessageW(button, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(x, 10));
    };
    EXPECT_TRUE(shows(kNormal));
    RECT bounds;
    GetWindowRect(button, &bounds);
    SetCursorPos(bounds.left + 10, bounds.top + 10);  // it rests there, as a person's would
    mouse(WM_MOUSEMOVE, 10);
    EXPECT_TRUE(shows(kHover));
    mouse(WM_LBUTTONDOWN, 10);
    EXPECT_TRUE(shows(kPressed));
    EXPECT_EQ(GetCapture(), button);
    mouse(WM_MOUSEMOVE, 200);  // held, but outside
    EXPECT_TRUE(shows(kHover));
    mouse(WM_LBUTTONUP, 200);
    EXPECT_EQ(dialog.Count(WM_COMMAND, IDOK), 0);
    mouse(WM_LBUTTONDOWN, 10);
    mouse(WM_LBUTTONUP, 10);
    EXPECT_EQ(dialog.Count(WM_COMMAND, IDOK), 1);
    EXPECT_EQ(GetCapture(), nullptr);
    EnableWindow(button, FALSE);
    EXPECT_TRUE(shows(kDisabled));
    EnableWindow(button, TRUE);
    SetCursorPos(1200, 1000);
    EXPECT_TRUE(PumpMessagesUntil([&] { return shows(kNormal); })) << "the pointer left";
    EXPECT_EQ(SendMessageW(button, WM_ERASEBKGND, 0, 0), 1);
    ImageList_Destroy(faces);
  });
}

TEST(SkinImageButton, TheSpaceBarNeverClicks) {
  SkinnedTestDialog().Run([](SkinnedTestDialog& dialog) {
    // A plain button beside it clicks on the same keys, so they do arrive.
    const HWND plain = CreateWindowExW(0, L"BUTTON", L"plain", WS_CHILD | WS_VISIBLE, 5, 5, 60, 20,
                                       dialog.Handle(), HMENU(900), nullptr, nullptr);
    for (const HWND button : {plain, dialog.OkButton().Handle()}) {
      SetFocus(button);
      PostMessageW(button, WM_KEYDOWN, VK_SPACE, 0x00390001);
      PostMessageW(button, WM_KEYUP, VK_SPACE, 0xC0390001);
      PumpPendingMessages();
    }
    EXPECT_EQ(dialog.Count(WM_COMMAND, 900), 1);
    EXPECT_EQ(dialog.Count(WM_COMMAND, IDOK), 0);
    DestroyWindow(plain);
  });
}

TEST(SkinLabel, DrawsItsTextInBlackOnWhateverIsBehindIt) {
  SkinnedTestDialog().Run([](SkinnedTestDialog& dialog) {
    const HWND label = dialog.Item(IDC_SCAN_PROMPT);
    EXPECT_EQ(GetWindowLongPtrW(label, GWL_STYLE) & SS_TYPEMASK, SS_SIMPLE);
    EXPECT_EQ(SendMessageW(label, WM_ERASEBKGND, 0, 0), 0);
    constexpr COLORREF kBehind = RGB(10, 200, 30);
    for (const wchar_t* text : {L"", L"Scan here"}) {
      SetWindowTextW(label, text);
      const WindowImage image = WindowImage::PrintClient(label, kBehind);
      const int area = image.Width() * image.Height(), ink = image.Count(RGB(0, 0, 0));
      EXPECT_EQ(ink > 10, *text != 0);
      // Anti-aliasing aside, every pixel is text or untouched background.
      EXPECT_GE(ink + image.Count(kBehind), *text ? area * 9 / 10 : area);
    }
  });
}

}  // namespace
}  // namespace zx::test
