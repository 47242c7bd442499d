#include "pickers/scan_path_dialog.h"

#include <commctrl.h>

#include <new>
#include <string>

#include "pickers/scan_result.h"
#include "pickers/tree_view_check_tree.h"
#include "res/resource_ids.h"
#include "ui/notification_reflection.h"

namespace zx {

ScanPathDialog::ScanPathDialog() : SkinFrame(IDD_SCAN_PATH) {}

void ScanPathDialog::SetExplicitPosition(int x, int y, WORD relativeToParent) {
  m_useDefaultPosition = false;
  m_x = x;
  m_y = y;
  m_relativeToParent = relativeToParent;
}

INT_PTR ScanPathDialog::Show(HWND owner) {
  m_result.clear();
  INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_TREEVIEW_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  return RunModal(owner, 0);
}

bool ScanPathDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  try {
    return Route(message, wParam, lParam, result);
  } catch (const std::bad_alloc&) {
    // Out of memory while building the result or the controls' texts.
    m_result.clear();
    result = 0;
    return true;
  }
}

bool ScanPathDialog::Route(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitDialog();
      result = TRUE;
      return true;
    case WM_CTLCOLORSTATIC:
      // The prompt shows the dialog's background through.
      result = reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
      return true;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        OnOk();
        return true;
      }
      if (LOWORD(wParam) == IDCANCEL) {  // also Esc and closing
        OnCancel();
        return true;
      }
      break;
    case WM_DESTROY:
      // Ends not made by OK or Cancel (the owner going) still join the fill
      // while the tree control exists.
      m_fillThread.StopAndJoin();
      break;
  }
  if (SkinFrame::HandleMessage(message, wParam, lParam, result)) return true;
  return ReflectNotification(Handle(), message, wParam, lParam, result);
}

void ScanPathDialog::OnOk() {
  m_fillThread.StopAndJoin();
  const std::u16string text =
      BuildResultText(CollectCheckedPaths(TreeViewCheckTree(m_tree.Handle())));
  m_result.assign(reinterpret_cast<const wchar_t*>(text.data()), text.size());
  EndDialog(Handle(), IDOK);
}

// The fill stops after its current item; nothing is killed, so no pause is
// needed for it to die.
void ScanPathDialog::OnCancel() {
  m_fillThread.StopAndJoin();
  EndDialog(Handle(), IDCANCEL);
}

}  // namespace zx
