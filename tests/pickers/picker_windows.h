#pragma once
// Finding the pickers' dialogs on the screen and acting on them with posted
// input, the way a person's clicks and keys arrive.
#include <windows.h>

#include <functional>

namespace zx::test {

inline constexpr DWORD kDialogPatienceMs = 20000;

// Polls until done() holds or timeoutMs passed, dispatching nothing.
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = kDialogPatienceMs);

// Visible dialogs of the given process (0: of any process): the scan-path
// dialog has the tree 115, the shell's browse dialog any other tree. Null
// when none shows.
HWND FindScanPathDialog(DWORD process = 0);
HWND FindBrowseDialog(DWORD process = 0);
HWND WaitForScanPathDialog(DWORD process = 0);
HWND WaitForBrowseDialog(DWORD process = 0);
// The dialog's tree-view control.
HWND TreeOf(HWND dialog);
// Waits until the window is gone (destroyed or hidden).
bool WaitUntilGone(HWND window);

// A press and release of the left button at a client point of window.
void ClickAt(HWND window, POINT client);
// The press and release of a key, sent to window.
void PressKey(HWND window, UINT virtualKey);
// Clicks the middle of the dialog's control id (the skinned OK and Cancel).
void ClickControl(HWND dialog, int id);
// A standard button's own click (the browse dialog's OK and Cancel).
void PushButton(HWND dialog, int id);
// The close command of the window's caption.
void CloseFromCaption(HWND dialog);

}  // namespace zx::test
