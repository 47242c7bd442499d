// The skinned dialog gives back every window and GDI object it takes.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "common/win_resources.h"
#include "harness/message_pump.h"
#include "res/resource_ids.h"
#include "skinned_test_dialog.h"

namespace zx::test {
namespace {

// A named callback: a lambda is not stdcall, which the 32-bit build needs.
BOOL CALLBACK CountWindow(HWND, LPARAM counter) { return ++*reinterpret_cast<int*>(counter); }

int ThreadWindowCount() {
  int count = 0;
  EnumThreadWindows(GetCurrentThreadId(), &CountWindow, reinterpret_cast<LPARAM>(&count));
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

// Every kind of painting the skinned controls do, once. The frame's paint
// messages are sent directly: the system's own invalidation keeps region
// objects from one repaint to the next, which would blur the count.
void PaintEverything(SkinnedTestDialog& dialog) {
  const HWND window = dialog.Handle();
  SendMessageW(window, WM_NCPAINT, 1, 0);
  const UniqueWindowDc dc(window);
  SendMessageW(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc.Get()), 0);
  RedrawWindow(dialog.Item(IDC_SCAN_PROMPT), nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  SendMessageW(window, WM_NCMOUSEMOVE, HTCLOSE,
               dialog.ScreenPoint(dialog.WindowRect().right - dialog.WindowRect().left - 14, 12));
  SendMessageW(window, WM_NCMOUSELEAVE, 0, 0);
  const HWND ok = dialog.OkButton().Handle();
  for (const UINT message : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_MOUSELEAVE}) {
    SendMessageW(ok, message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0, MAKELPARAM(5, 5));
  }
  PumpPendingMessages();
}

TEST(SkinnedDialogLifecycle, ClosingLeavesNoWindowAndPaintingKeepsNoGdiObject) {
  const int before = ThreadWindowCount();
  int during = 0;
  SkinnedTestDialog().Run([&](SkinnedTestDialog& dialog) {
    during = ThreadWindowCount();
    PaintEverything(dialog);  // lets the system fill its own caches first
    const std::set<WORD> parked = FreeSlotsOnTop();
    for (int round = 0; round < 20; ++round) PaintEverything(dialog);
    EXPECT_EQ(FreeSlotsOnTop(), parked);
  });
  EXPECT_GT(during, before);  // the dialog and the buttons' tooltips
  EXPECT_EQ(ThreadWindowCount(), before);
}

}  // namespace
}  // namespace zx::test
