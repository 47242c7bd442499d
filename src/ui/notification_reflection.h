#pragma once
// Notification reflection: a dialog sends the notifications of its controls
// back to the control that caused them, as message number + 0x2000, so each
// control object handles its own notifications in its own message map.
#include <windows.h>

namespace zx {

inline constexpr UINT kReflectedMessageBase = 0x2000;
inline constexpr UINT kReflectedNotify = kReflectedMessageBase + WM_NOTIFY;

// Sends a control notification that reached `dialog` back to its control and
// gives the control's answer. False for any other message, or when no
// control can be told.
bool ReflectNotification(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

}  // namespace zx
