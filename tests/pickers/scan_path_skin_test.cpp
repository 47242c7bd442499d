// The scan-path dialog's skinned frame, on the dialog a page shows: a
// person's thread sends the messages the system would and counts the
// windows, threads and GDI objects the skinned controls keep. The colours
// painted are left to the frame colour tests.
#include <windows.h>

#include <set>
#include <vector>

#include "harness/message_pump.h"
#include "harness/process_probes.h"
#include "picker_test.h"
#include "res/resource_ids.h"

namespace zx::test {
namespace {

constexpr int kBorder = 3;
constexpr int kCaptionBottom = 24;  // border and caption

using SkinFrame = PickerTest;
using SkinnedDialogLifecycle = PickerTest;

RECT WindowRectOf(HWND window) {
  RECT bounds{};
  GetWindowRect(window, &bounds);
  return bounds;
}

// x from the right edge when negative; the close button spans -21..-7, 6..19.
// Closing by it, like Esc, ends in Cancel: the checks made are dropped.
TEST_F(SkinFrame, HitTestFindsTheCloseButtonAndTheCaptionWhereTheyArePainted) {
  const struct {
    int x, y;
    LRESULT hit;
  } points[] = {
      {-21, 6, HTCLOSE},   {-7, 19, HTCLOSE},    {-22, 6, HTCAPTION}, {-6, 19, HTCAPTION},
      {-21, 5, HTCAPTION}, {-7, 20, HTCAPTION},  {0, 0, HTCAPTION},   {-1, 23, HTCAPTION},
      {-21, 24, HTCLIENT}, {-50, 12, HTCAPTION},  // where minimise would be
  };
  const Outcome outcome = ShowScanPath([&](HWND dialog, const TreeUser& tree) {
    const HTREEITEM drive = tree.Open(kDriveC);
    EXPECT_TRUE(tree.ClickBox(drive) && tree.Shows(drive, kChecked));
    const RECT bounds = WindowRectOf(dialog);
    for (const auto& p : points) {
      const LPARAM at = MAKELPARAM((p.x < 0 ? bounds.right : bounds.left) + p.x, bounds.top + p.y);
      EXPECT_EQ(SendMessageW(dialog, WM_NCHITTEST, 0, at), p.hit) << p.x << ", " << p.y;
    }
    SendMessageW(dialog, WM_NCLBUTTONDOWN, HTCLOSE, 0);
    SendMessageW(dialog, WM_NCLBUTTONUP, HTCLOSE, 0);
    EXPECT_TRUE(WaitUntilGone(dialog)) << "a click on the close button";
  });
  EXPECT_EQ(outcome.hr, S_FALSE);
  EXPECT_EQ(outcome.text, L"<untouched>");
}

// A new text must not bring the system's frame back.
TEST_F(SkinFrame, ReplacesTheSystemFrameAroundTheTemplatesClientArea) {
  CancelAfter([](HWND dialog) {
    SetWindowTextW(dialog, L"Another title");
    RECT wanted = {0, 0, 226, 210}, client, bounds = WindowRectOf(dialog);  // in dialog units
    MapDialogRect(dialog, &wanted);
    GetClientRect(dialog, &client);
    POINT origin = {0, 0};
    ClientToScreen(dialog, &origin);
    EXPECT_TRUE(EqualRect(&client, &wanted));
    EXPECT_TRUE(origin.x - bounds.left == kBorder && origin.y - bounds.top == kCaptionBottom);
    EXPECT_EQ(bounds.right - bounds.left, client.right + 2 * kBorder);
    EXPECT_EQ(bounds.bottom - bounds.top, client.bottom + kCaptionBottom + kBorder);
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

// OK and Cancel are pressed while the fill still runs.
TEST_F(SkinnedDialogLifecycle, ClosingLeavesNoWindowNorThreadAndPaintingKeepsNoGdiObject) {
  CancelAfter([](HWND) {});  // lets the shell and the system make what they keep
  const int windows = WindowsOfThread(GetCurrentThreadId()), threads = ThreadsOfThisProcess();
  for (const int button : {IDOK, IDCANCEL}) {
    int during = 0;
    const Outcome outcome = RunWithUser(
        [&](BSTR* text) { return m_scanPicker->GetOpenFileNameEx(0, nullptr, nullptr, 0, text); },
        Picker::kScanPath,
        [&](HWND dialog) {
          during = ThreadsOfThisProcess();
          ClickControl(dialog, button);
        });
    EXPECT_EQ(outcome.hr, S_FALSE) << "nothing checked";
    EXPECT_EQ(outcome.text, L"<untouched>");
    EXPECT_GE(during, threads + 2) << "the person's thread and the fill";
    EXPECT_EQ(ThreadsOfThisProcess(), threads) << button;
  }
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
  EXPECT_GT(during, windows);  // the dialog and the buttons' tooltips
  EXPECT_EQ(WindowsOfThread(GetCurrentThreadId()), windows);
}

}  // namespace
}  // namespace zx::test
