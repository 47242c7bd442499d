#include "ui/modal_dialog.h"

#include "ui/module_state.h"

namespace zx {
namespace {

// Messages whose dialog-procedure answer is the result itself rather than
// a handled flag with the result in DWLP_MSGRESULT.
bool AnswersDirectly(UINT message) {
  switch (message) {
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
    case WM_COMPAREITEM:
    case WM_INITDIALOG:
      return true;
    default:
      return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC;
  }
}

}  // namespace

INT_PTR ModalDialog::RunModal(HWND owner, LPARAM initParam) {
  // A page may call in again from inside the modal loop; one window per object.
  if (Handle()) {
    SetLastError(ERROR_INVALID_STATE);
    return -1;
  }
  RegisterPendingCreation(m_creation, *this);
  const INT_PTR code = DialogBoxParamW(ResourceInstance(), MAKEINTRESOURCEW(m_templateId), owner,
                                       &StartDialogProc, initParam);
  // A dialog that failed before its first message never claimed the entry;
  // left in the list it would hand this object to the thread's next dialog.
  ForgetPendingCreation(m_creation);
  return code;
}

INT_PTR CALLBACK ModalDialog::StartDialogProc(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
  ModalDialog* dialog = TakePendingCreation();
  if (!dialog || !dialog->Bind(window)) return FALSE;
  SetWindowLongPtrW(window, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(&DialogProc));
  return dialog->DispatchDialogMessage(MSG{window, message, wParam, lParam, 0, {}});
}

INT_PTR CALLBACK ModalDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* dialog = static_cast<ModalDialog*>(FromHandle(window));
  if (!dialog) return FALSE;
  return dialog->DispatchDialogMessage(MSG{window, message, wParam, lParam, 0, {}});
}

INT_PTR ModalDialog::DispatchDialogMessage(const MSG& message) {
  const MSG* outer = EnterDispatch(message);
  LRESULT result = 0;
  INT_PTR answer = FALSE;
  if (HandleMessage(message.message, message.wParam, message.lParam, result)) {
    answer = DialogAnswer(message.message, result);
  }
  if (message.message == WM_NCDESTROY) NoteFinalMessage();
  LeaveDispatch(outer);
  return answer;
}

INT_PTR ModalDialog::DialogAnswer(UINT message, LRESULT result) {
  if (AnswersDirectly(message)) return result;
  SetWindowLongPtrW(Handle(), DWLP_MSGRESULT, result);
  return TRUE;
}

}  // namespace zx
