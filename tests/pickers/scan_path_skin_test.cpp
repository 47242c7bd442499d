// The scan-path dialog's skinned frame, image buttons and label, on the
// dialog a page shows: a person's thread sends the messages the system
// would, reads the input state of the dialog's thread and the pixels.
#include <atomic>
#include <cstdlib>
#include <set>
#include <vector>

#include "harness/message_pump.h"
#include "picker_test.h"
#include "pickers/button_faces.h"
#include "pickers/shell_resources.h"
#include "res/resource_ids.h"
#include "ui/frame_colors.h"
#include "window_image.h"

namespace zx::test {
namespace {

constexpr int kBorder = 3;
constexpr int kCaptionBottom = 24;  // border and caption
const FramePalette kPalette = MakeFramePalette(RGB(0, 105, 175));
enum Face { kNormal, kPressed, kHover, kDisabled };

using SkinFrame = PickerTest;
using SkinImageButton = PickerTest;
using SkinLabel = PickerTest;
using SkinnedDialogLifecycle = PickerTest;

RECT WindowRectOf(HWND window) {
  RECT bounds{};
  GetWindowRect(window, &bounds);
  return bounds;
}

// Focus and capture of the dialog's thread.
GUITHREADINFO InputOf(HWND dialog) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info);
  return info;
}

// x from the right edge when negative; the close button spans -21..-7, 6..19.
TEST_F(SkinFrame, HitTestFindsTheCloseButtonAndTheCaptionWhereTheyArePainted) {
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
  CancelAfter([&](HWND dialog) {
    const RECT bounds = WindowRectOf(dialog);
    for (const auto& p : points) {
      const LPARAM at = MAKELPARAM((p.x < 0 ? bounds.right : bounds.left) + p.x, bounds.top + p.y);
      EXPECT_EQ(SendMessageW(dialog, WM_NCHITTEST, 0, at), p.hit) << p.x << ", " << p.y;
    }
  });
}

TEST_F(SkinFrame, ReplacesTheSystemFrameAroundTheTemplatesClientArea) {
  CancelAfter([](HWND dialog) {
    EXPECT_EQ(GetWindowLongPtrW(dialog, GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME), 0);
    EXPECT_EQ(GetWindowLongPtrW(dialog, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME, 0);
    RECT wanted = {0, 0, 226, 210};  // the template's size in dialog units
    MapDialogRect(dialog, &wanted);
    for (const wchar_t* text : {L"", L"Another title"}) {  // a new text keeps the sizes
      if (*text) SetWindowTextW(dialog, text);
      RECT client;
      GetClientRect(dialog, &client);
      EXPECT_TRUE(EqualRect(&client, &wanted));
      POINT origin = {0, 0};
      ClientToScreen(dialog, &origin);
      const RECT bounds = WindowRectOf(dialog);
      EXPECT_EQ(origin.x - bounds.left, kBorder);
      EXPECT_EQ(origin.y - bounds.top, kCaptionBottom);
      EXPECT_EQ(bounds.right - bounds.left, client.right + 2 * kBorder);
      EXPECT_EQ(bounds.bottom - bounds.top, client.bottom + kCaptionBottom + kBorder);
    }
  });
}

std::atomic<bool> g_moveAsked{false};

// Notes that the system was asked to move a window and declines. Named, not
// a lambda: the 32-bit build needs a stdcall callback.
LRESULT CALLBACK DeclineMove(int code, WPARAM wParam, LPARAM lParam) {
  if (code != HCBT_SYSCOMMAND || (wParam & 0xFFF0) != SC_MOVE) {
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }
  g_moveAsked = true;
  return 1;
}

// What does not close the dialog is checked by a click posted after it: a
// close it had posted would end the dialog first.
TEST_F(SkinFrame, CloseActsOnlyOnAPressAndAReleaseBothOverTheButton) {
  const Outcome outcome = ShowScanPath([](HWND dialog, const TreeUser& tree) {
    const auto click = [dialog](WPARAM press, WPARAM release) {  // 0: no press
      if (press) SendMessageW(dialog, WM_NCLBUTTONDOWN, press, 0);
      SendMessageW(dialog, WM_NCLBUTTONUP, release, 0);
    };
    click(HTCLOSE, HTCAPTION);
    click(0, HTCLOSE);  // the press was used up by the release
    click(HTCLIENT, HTCLOSE);
    // A double click on the caption maximises nothing without a maximise box.
    const RECT before = WindowRectOf(dialog);
    const LPARAM caption = MAKELPARAM(before.left + 50, before.top + 10);
    SendMessageW(dialog, WM_NCLBUTTONDBLCLK, HTCAPTION, caption);
    const RECT after = WindowRectOf(dialog);
    EXPECT_TRUE(EqualRect(&before, &after));
    // A press on the caption asks the system to move the dialog.
    const HHOOK hook =
        SetWindowsHookExW(WH_CBT, &DeclineMove, nullptr, GetWindowThreadProcessId(dialog, nullptr));
    SendMessageW(dialog, WM_NCLBUTTONDOWN, HTCAPTION, caption);
    UnhookWindowsHookEx(hook);
    EXPECT_TRUE(g_moveAsked);
    const HTREEITEM drive = tree.Open(kDriveC);
    EXPECT_TRUE(tree.ClickBox(drive) && tree.Shows(drive, kChecked)) << "closed too early";
    click(HTCLOSE, HTCLOSE);
  });
  EXPECT_EQ(outcome.hr, S_FALSE);
}

bool IsNear(COLORREF a, COLORREF b) {
  return abs(GetRValue(a) - GetRValue(b)) <= 1 && abs(GetGValue(a) - GetGValue(b)) <= 1 &&
         abs(GetBValue(a) - GetBValue(b)) <= 1;
}

TEST_F(SkinFrame, PaintsFrameCaptionAndBackgroundInTheBaseColourFamily) {
  CancelAfter([](HWND dialog) {
    for (const bool active : {true, false}) {
      SendMessageW(dialog, WM_ACTIVATE, active ? WA_ACTIVE : WA_INACTIVE, 0);
      const WindowImage image = WindowImage::Capture(dialog);
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
          << std::hex << image.At(x, kCaptionBottom - 2);
    }
  });
}

TEST_F(SkinFrame, ReactivatedDialogGetsItsFocusedControlBack) {
  CancelAfter([](HWND dialog) {
    const auto focus = [dialog](int id) {
      SendMessageW(dialog, WM_NEXTDLGCTL, WPARAM(GetDlgItem(dialog, id)), TRUE);
    };
    focus(IDCANCEL);
    SendMessageW(dialog, WM_ACTIVATE, WA_INACTIVE, 0);
    focus(IDC_SCAN_TREE);
    SendMessageW(dialog, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_EQ(InputOf(dialog).hwndFocus, GetDlgItem(dialog, IDCANCEL));
  });
}

// A click ends the dialog at once, so what must not click is seen in that
// the dialog still shows; the space bar's keys are posted, so a click
// posted after them proves them handled.
TEST_F(SkinImageButton, ShowsTheFaceOfItsStateAndClicksOnlyOnAReleaseInside) {
  const UniqueImageList faces(CreateButtonFaceList(m_module.Handle(), kOkFaceBitmaps));
  const Outcome outcome = ShowScanPath([&](HWND dialog, const TreeUser& tree) {
    const HWND button = GetDlgItem(dialog, IDOK);
    const auto shows = [&](int face) {  // painted, and nothing else
      return WindowImage::PrintClient(button, RGB(255, 0, 0)) ==
             WindowImage::Draw(
                 78, 23, [&](HDC dc) { ImageList_Draw(faces.Get(), face, dc, 0, 0, ILD_NORMAL); });
    };
    const auto mouse = [&](UINT message, int x) {
      SendMessageW(button, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(x, 10));
    };
    const HTREEITEM drive = tree.Open(kDriveC);  // so that OK has something to list
    EXPECT_TRUE(tree.ClickBox(drive) && tree.Shows(drive, kChecked));
    EXPECT_TRUE(shows(kNormal));
    const RECT bounds = WindowRectOf(button);
    SetCursorPos(bounds.left + 10, bounds.top + 10);  // it rests there, as a person's would
    mouse(WM_MOUSEMOVE, 10);
    EXPECT_TRUE(shows(kHover));
    mouse(WM_LBUTTONDOWN, 10);
    EXPECT_TRUE(shows(kPressed));
    EXPECT_EQ(InputOf(dialog).hwndCapture, button);
    mouse(WM_MOUSEMOVE, 200);  // held, but outside
    EXPECT_TRUE(shows(kHover));
    mouse(WM_LBUTTONUP, 200);
    EXPECT_EQ(InputOf(dialog).hwndCapture, nullptr);
    EXPECT_TRUE(IsWindowVisible(dialog)) << "released outside, yet clicked";
    PressKey(button, VK_SPACE);
    EXPECT_TRUE(tree.Expand(tree.Open(kScanFolder))) << "the space bar clicked";
    EnableWindow(button, FALSE);
    EXPECT_TRUE(shows(kDisabled));
    EnableWindow(button, TRUE);
    SetCursorPos(1200, 1000);
    EXPECT_TRUE(PollUntil([&] { return shows(kNormal); })) << "the pointer left";
    EXPECT_EQ(SendMessageW(button, WM_ERASEBKGND, 0, 0), 1);
    mouse(WM_LBUTTONDOWN, 10);
    mouse(WM_LBUTTONUP, 10);
  });
  EXPECT_EQ(outcome.hr, S_OK) << "the click inside was no OK";
  EXPECT_EQ(outcome.text, LR"({result:{paths:["C:\\"],count:1}})");
}

TEST_F(SkinLabel, DrawsItsTextInBlackOnWhateverIsBehindIt) {
  CancelAfter([](HWND dialog) {
    const HWND label = GetDlgItem(dialog, IDC_SCAN_PROMPT);
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

// A named callback: a lambda is not stdcall, which the 32-bit build needs.
BOOL CALLBACK CountWindow(HWND, LPARAM counter) { return ++*reinterpret_cast<int*>(counter); }

int WindowsOfThread(DWORD thread) {
  int count = 0;
  EnumThreadWindows(thread, &CountWindow, reinterpret_cast<LPARAM>(&count));
  return count;
}

// The GDI handle table hands freed slots out again last freed first. A batch
// of slots allocated and freed lies on top of that list; code that deletes
// everything it creates leaves them free, so the next batch gets exactly
// those slots back. An object kept takes one of them.
std::set<WORD> FreeSlotsOnTop() {
  std::vector<HBRUSH> brushes;
  std::set<WORD> slots;
  for (int i = 0; i < 64; ++i) {
    brushes.push_back(CreateSolidBrush(RGB(i, 0, 0)));
    slots.insert(LOWORD(reinterpret_cast<UINT_PTR>(brushes.back())));  // the high word counts reuse
  }
  for (const HBRUSH brush : brushes) DeleteObject(brush);
  return slots;
}

// Every kind of painting the skinned controls do, once.
// Paint messages are sent, not caused by invalidation: the system keeps
// region objects from one repaint to the next, and a paint left for the
// dialog's thread would run while the slots are counted.
void PaintEverything(HWND dialog) {
  SendMessageW(dialog, WM_NCPAINT, 1, 0);
  const UniqueWindowDc dc(dialog);
  SendMessageW(dialog, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc.Get()), 0);
  SendMessageW(GetDlgItem(dialog, IDC_SCAN_PROMPT), WM_PRINTCLIENT,
               reinterpret_cast<WPARAM>(dc.Get()), PRF_CLIENT);
  const RECT bounds = WindowRectOf(dialog);
  SendMessageW(dialog, WM_NCMOUSEMOVE, HTCLOSE, MAKELPARAM(bounds.right - 14, bounds.top + 12));
  SendMessageW(dialog, WM_NCMOUSELEAVE, 0, 0);
  // Every face is drawn by the same call. The pressed one is left out: taking
  // and giving back the capture makes the system replace an object of its
  // own each time, which takes one slot however many rounds run.
  SendMessageW(GetDlgItem(dialog, IDOK), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  SendMessageW(GetDlgItem(dialog, IDOK), WM_MOUSELEAVE, 0, 0);
}

TEST_F(SkinnedDialogLifecycle, ClosingLeavesNoWindowAndPaintingKeepsNoGdiObject) {
  CancelAfter([](HWND) {});  // lets the shell and the system make what they keep
  const int before = WindowsOfThread(GetCurrentThreadId()), threads = ThreadsOfThisProcess();
  int during = 0;
  CancelAfter([&](HWND dialog) {
    during = WindowsOfThread(GetWindowThreadProcessId(dialog, nullptr));
    // The fill and the first painting of what it listed make objects that
    // stay: count once the fill has ended and everything is painted.
    ASSERT_TRUE(PollUntil([&] { return ThreadsOfThisProcess() == threads + 1; }));
    RedrawWindow(dialog, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PaintEverything(dialog);  // lets the system fill its own caches first
    const std::set<WORD> parked = FreeSlotsOnTop();
    for (int round = 0; round < 20; ++round) PaintEverything(dialog);
    EXPECT_EQ(FreeSlotsOnTop(), parked);
  });
  EXPECT_GT(during, before);  // the dialog and the buttons' tooltips
  EXPECT_EQ(WindowsOfThread(GetCurrentThreadId()), before);
}

}  // namespace
}  // namespace zx::test
