#include "skinned_test_dialog.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <tuple>

#include "harness/message_pump.h"
#include "pickers/button_faces.h"
#include "res/resource_ids.h"
#include "ui/module_state.h"

namespace zx::test {
namespace {

constexpr UINT_PTR kStartTimer = 1;
constexpr INT_PTR kBodyDone = 77;

}  // namespace

SkinnedTestDialog::SkinnedTestDialog() : SkinFrame(IDD_SCAN_PATH) { SetCustomFrame(true); }

void SkinnedTestDialog::Run(const Body& body) {
  INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_TREEVIEW_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  SetCursorPos(1200, 1000);  // off the dialog
  m_body = &body;
  EXPECT_EQ(RunModal(nullptr, 0), kBodyDone) << "last error " << GetLastError();
}

RECT SkinnedTestDialog::WindowRect() const {
  RECT bounds{};
  GetWindowRect(Handle(), &bounds);
  return bounds;
}

LPARAM SkinnedTestDialog::ScreenPoint(int x, int y) const {
  return MAKELPARAM(WindowRect().left + x, WindowRect().top + y);
}

int SkinnedTestDialog::Count(UINT message, WPARAM what) const {
  const auto found = m_counts.find({message, what});
  return found == m_counts.end() ? 0 : found->second;
}

bool SkinnedTestDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  result = 0;
  switch (message) {
    case WM_INITDIALOG:
      Initialise();
      result = TRUE;
      return true;
    case WM_CTLCOLORSTATIC:
      result = reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
      return true;
    case WM_TIMER:
      // A timer fires once the modal loop is idle, that is after it showed the dialog.
      if (wParam != kStartTimer || !IsWindowVisible(Handle())) break;
      KillTimer(Handle(), kStartTimer);
      RedrawWindow(Handle(), nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
      PumpPendingMessages();
      (*m_body)(*this);
      EndDialog(Handle(), kBodyDone);
      return true;
    case WM_COMMAND:
      m_counts[{message, LOWORD(wParam)}] += HIWORD(wParam) == BN_CLICKED;
      return true;
    case WM_SYSCOMMAND:
      ++m_counts[{message, wParam & 0xFFF0}];
      if ((wParam & 0xFFF0) == SC_CLOSE) return true;
      break;
    case WM_ENTERSIZEMOVE:
      ++m_counts[{message, 0}];
      break;
  }
  return SkinFrame::HandleMessage(message, wParam, lParam, result);
}

void SkinnedTestDialog::Initialise() {
  SetWindowPos(Handle(), nullptr, 200, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  m_label.Attach(Item(IDC_SCAN_PROMPT));
  for (const auto& [button, id, faces] : {std::tuple{&m_ok, IDOK, kOkFaceBitmaps},
                                          std::tuple{&m_cancel, IDCANCEL, kCancelFaceBitmaps}}) {
    button->SetImageList(CreateButtonFaceList(ResourceInstance(), faces));
    button->SetFaceIndices(kButtonFaceIndices);
    button->Attach(Item(id));
    button->SetExtendedStyle(SkinImageButton::kHoverMode);
  }
  SetTimer(Handle(), kStartTimer, 10, nullptr);
}

}  // namespace zx::test
