// The skinned dialog gives back every window and GDI object it takes.
#include <gtest/gtest.h>

#include "gdi_slot_watch.h"
#include "message_pump.h"
#include "res/resource_ids.h"
#include "skinned_test_dialog.h"

namespace zx::test {
namespace {

BOOL CALLBACK CountWindow(HWND, LPARAM counter) {
  ++*reinterpret_cast<int*>(counter);
  return TRUE;
}

int ThreadWindowCount() {
  int count = 0;
  EnumThreadWindows(GetCurrentThreadId(), &CountWindow, reinterpret_cast<LPARAM>(&count));
  return count;
}

// Every kind of painting the skinned controls do, once. The frame's paint
// messages are sent directly: the system's own invalidation keeps region
// objects from one repaint to the next, which would blur the count.
void PaintEverything(SkinnedTestDialog& dialog) {
  const HWND window = dialog.Handle();
  SendMessageW(window, WM_NCPAINT, 1, 0);
  if (const HDC dc = GetDC(window)) {
    SendMessageW(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    ReleaseDC(window, dc);
  }
  const HWND label = dialog.Item(IDC_SCAN_PROMPT);
  InvalidateRect(label, nullptr, TRUE);
  UpdateWindow(label);
  const RECT bounds = dialog.WindowRect();
  const POINT close = dialog.ToScreen({bounds.right - bounds.left - 14, 12});
  SendMessageW(window, WM_NCMOUSEMOVE, HTCLOSE, MAKELPARAM(close.x, close.y));
  SendMessageW(window, WM_NCMOUSELEAVE, 0, 0);
  const HWND ok = dialog.OkButton().Handle();
  SendMessageW(ok, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  SendMessageW(ok, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageW(ok, WM_LBUTTONUP, 0, MAKELPARAM(300, 5));
  SendMessageW(ok, WM_MOUSELEAVE, 0, 0);
  PumpPending();
}

TEST(SkinnedDialogLifecycle, ClosingLeavesNoWindowBehind) {
  const int before = ThreadWindowCount();
  int during = 0;
  SkinnedTestDialog().Run([&](SkinnedTestDialog&) { during = ThreadWindowCount(); });
  EXPECT_GT(during, before);  // the dialog and the buttons' tooltips
  EXPECT_EQ(ThreadWindowCount(), before);
}

TEST(SkinnedDialogLifecycle, PaintingKeepsNoGdiObject) {
  SkinnedTestDialog().Run([](SkinnedTestDialog& dialog) {
    PaintEverything(dialog);  // lets the system fill its own caches first
    const GdiSlotWatch watch;
    for (int round = 0; round < 20; ++round) PaintEverything(dialog);
    EXPECT_TRUE(watch.AllSlotsFreeAgain());
  });
}

}  // namespace
}  // namespace zx::test
