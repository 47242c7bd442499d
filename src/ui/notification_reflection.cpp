#include "ui/notification_reflection.h"

namespace zx {
namespace {

HWND ParentNotifySource(HWND dialog, WPARAM wParam, LPARAM lParam) {
  switch (LOWORD(wParam)) {
    case WM_CREATE:
    case WM_DESTROY:
      return reinterpret_cast<HWND>(lParam);
    default:
      return GetDlgItem(dialog, HIWORD(wParam));
  }
}

// The control a notification is about; null when the message is none.
HWND NotificationSource(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NOTIFY:
      return reinterpret_cast<const NMHDR*>(lParam)->hwndFrom;
    case WM_PARENTNOTIFY:
      return ParentNotifySource(dialog, wParam, lParam);
    case WM_DRAWITEM:
      return wParam ? reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->hwndItem : nullptr;
    case WM_MEASUREITEM:
      return wParam ? GetDlgItem(dialog, reinterpret_cast<const MEASUREITEMSTRUCT*>(lParam)->CtlID)
                    : nullptr;
    case WM_COMPAREITEM:
      return reinterpret_cast<const COMPAREITEMSTRUCT*>(lParam)->hwndItem;
    case WM_DELETEITEM:
      return reinterpret_cast<const DELETEITEMSTRUCT*>(lParam)->hwndItem;
    case WM_COMMAND:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
      return reinterpret_cast<HWND>(lParam);
    default:
      return nullptr;
  }
}

}  // namespace

bool ReflectNotification(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  const HWND control = NotificationSource(dialog, message, wParam, lParam);
  if (!control || !IsWindow(control)) return false;
  result = SendMessageW(control, kReflectedMessageBase + message, wParam, lParam);
  return true;
}

}  // namespace zx
