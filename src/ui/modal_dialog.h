#pragma once
// ModalDialog: a window object that runs a modal dialog from a template of
// the module, with its message map as the dialog procedure.
#include <windows.h>

#include "ui/module_state.h"
#include "ui/window_object.h"

namespace zx {

class ModalDialog : public WindowObject {
 public:
  explicit ModalDialog(int templateId) : m_templateId(templateId) {}

  // Shows the dialog owned by owner and returns its end code, or -1 when it
  // could not be created (also while this object already shows a dialog,
  // with ERROR_INVALID_STATE). initParam reaches WM_INITDIALOG.
  INT_PTR RunModal(HWND owner, LPARAM initParam);

 private:
  static INT_PTR CALLBACK StartDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR DispatchDialogMessage(const MSG& message);
  INT_PTR DialogAnswer(UINT message, LRESULT result);

  int m_templateId;
  PendingCreation m_creation;
};

}  // namespace zx
