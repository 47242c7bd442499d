#include "skinned_test_dialog.h"

#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "message_pump.h"
#include "pickers/button_faces.h"
#include "res/resource_ids.h"
#include "ui/module_state.h"

namespace zx::test {
namespace {

constexpr UINT_PTR kStartTimer = 1;
constexpr INT_PTR kBodyDone = 77;
constexpr POINT kDialogPosition = {200, 150};
// Where the pointer rests unless a test moves it: off the dialog.
constexpr POINT kPointerAway = {1200, 1000};

}  // namespace

SkinnedTestDialog::SkinnedTestDialog() : SkinFrame(IDD_SCAN_PATH) { SetCustomFrame(true); }

void SkinnedTestDialog::Run(const Body& body, HWND owner) {
  INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_TREEVIEW_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  SetCursorPos(kPointerAway.x, kPointerAway.y);
  m_body = &body;
  const INT_PTR code = RunModal(owner, 0);
  m_body = nullptr;
  EXPECT_EQ(code, kBodyDone) << "last error " << GetLastError();
}

RECT SkinnedTestDialog::WindowRect() const {
  RECT bounds{};
  GetWindowRect(Handle(), &bounds);
  return bounds;
}

POINT SkinnedTestDialog::ToScreen(POINT windowPoint) const {
  const RECT bounds = WindowRect();
  return {bounds.left + windowPoint.x, bounds.top + windowPoint.y};
}

int SkinnedTestDialog::SysCommandCount(WPARAM command) const {
  return static_cast<int>(std::count(m_sysCommands.begin(), m_sysCommands.end(), command));
}

void SkinnedTestDialog::ClearRecords() {
  m_sysCommands.clear();
  m_commands.clear();
  m_moveLoops = 0;
}

bool SkinnedTestDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam,
                                      LRESULT& result) {
  switch (message) {
    case WM_INITDIALOG:
      Initialise();
      result = TRUE;
      return true;
    case WM_CTLCOLORSTATIC:
      result = reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
      return true;
    case WM_TIMER:
      if (wParam != kStartTimer) break;
      RunBodyOnceShown();
      result = 0;
      return true;
    case WM_COMMAND:
      m_commands.push_back({LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)});
      result = 0;
      return true;
    case WM_SYSCOMMAND:
      m_sysCommands.push_back(wParam & 0xFFF0);
      if ((wParam & 0xFFF0) == SC_CLOSE || (wParam & 0xFFF0) == SC_MINIMIZE) {
        result = 0;
        return true;
      }
      break;
    case WM_ENTERSIZEMOVE:
      ++m_moveLoops;
      break;
  }
  return SkinFrame::HandleMessage(message, wParam, lParam, result);
}

void SkinnedTestDialog::Initialise() {
  const HWND dialog = Handle();
  SetWindowPos(dialog, nullptr, kDialogPosition.x, kDialogPosition.y, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  m_label.Attach(Item(IDC_SCAN_PROMPT));
  m_ok.SetImageList(CreateButtonFaceList(ResourceInstance(), kOkFaceBitmaps));
  m_ok.SetFaceIndices(kButtonFaceIndices);
  m_ok.Attach(Item(IDOK));
  m_ok.SetExtendedStyle(SkinImageButton::kHoverMode);
  m_cancel.SetImageList(CreateButtonFaceList(ResourceInstance(), kCancelFaceBitmaps));
  m_cancel.SetFaceIndices(kButtonFaceIndices);
  m_cancel.Attach(Item(IDCANCEL));
  m_cancel.SetExtendedStyle(SkinImageButton::kHoverMode);
  // A timer fires only once the modal loop is idle, that is after it showed
  // the dialog.
  SetTimer(dialog, kStartTimer, 10, nullptr);
}

void SkinnedTestDialog::RunBodyOnceShown() {
  const HWND dialog = Handle();
  if (!IsWindowVisible(dialog)) return;
  KillTimer(dialog, kStartTimer);
  RedrawWindow(dialog, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  PumpPending();
  if (m_body) (*m_body)(*this);
  EndDialog(dialog, kBodyDone);
}

}  // namespace zx::test
