#include "picker_windows.h"

#include <commctrl.h>

#include <string>

#include "res/resource_ids.h"

namespace zx::test {
namespace {

constexpr wchar_t kDialogClass[] = L"#32770";

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

BOOL CALLBACK TakeTreeChild(HWND child, LPARAM result) {
  if (ClassOf(child) != WC_TREEVIEWW) return TRUE;
  *reinterpret_cast<HWND*>(result) = child;
  return FALSE;
}

HWND FindTreeChild(HWND dialog) {
  HWND found = nullptr;
  EnumChildWindows(dialog, &TakeTreeChild, reinterpret_cast<LPARAM>(&found));
  return found;
}

bool IsScanPathDialog(HWND dialog) {
  const HWND tree = GetDlgItem(dialog, IDC_SCAN_TREE);
  return tree && ClassOf(tree) == WC_TREEVIEWW && GetDlgItem(dialog, IDC_SCAN_PROMPT);
}

struct DialogSearch {
  bool (*test)(HWND);
  DWORD process;
  HWND found;
};

bool BelongsTo(HWND window, DWORD process) {
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  return process == 0 || owner == process;
}

BOOL CALLBACK TakeDialog(HWND window, LPARAM context) {
  auto& search = *reinterpret_cast<DialogSearch*>(context);
  if (!IsWindowVisible(window) || !BelongsTo(window, search.process) ||
      ClassOf(window) != kDialogClass || !search.test(window)) {
    return TRUE;
  }
  search.found = window;
  return FALSE;
}

// The first visible dialog of the process that passes test.
HWND FindDialog(bool (*test)(HWND), DWORD process) {
  DialogSearch search{test, process, nullptr};
  EnumWindows(&TakeDialog, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND WaitForDialog(HWND (*find)(DWORD), DWORD process) {
  HWND dialog = nullptr;
  WaitUntil([&] { return (dialog = find(process)) != nullptr; });
  return dialog;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  while (!done()) {
    if (GetTickCount64() >= deadline) return false;
    Sleep(10);
  }
  return true;
}

HWND FindScanPathDialog(DWORD process) { return FindDialog(&IsScanPathDialog, process); }

HWND FindBrowseDialog(DWORD process) {
  return FindDialog(
      [](HWND dialog) { return !IsScanPathDialog(dialog) && FindTreeChild(dialog) != nullptr; },
      process);
}

HWND WaitForScanPathDialog(DWORD process) { return WaitForDialog(&FindScanPathDialog, process); }
HWND WaitForBrowseDialog(DWORD process) { return WaitForDialog(&FindBrowseDialog, process); }

HWND TreeOf(HWND dialog) { return FindTreeChild(dialog); }

bool WaitUntilGone(HWND window) {
  return WaitUntil([window] { return !IsWindow(window) || !IsWindowVisible(window); });
}

void ClickAt(HWND window, POINT client) {
  const LPARAM where = MAKELPARAM(client.x, client.y);
  PostMessageW(window, WM_MOUSEMOVE, 0, where);
  PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, where);
  PostMessageW(window, WM_LBUTTONUP, 0, where);
}

void PressKey(HWND window, UINT virtualKey) {
  const UINT scan = MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
  PostMessageW(window, WM_KEYDOWN, virtualKey, 1 | (scan << 16));
  PostMessageW(window, WM_KEYUP, virtualKey, 1 | (scan << 16) | 0xC0000000);
}

void ClickControl(HWND dialog, int id) {
  const HWND control = GetDlgItem(dialog, id);
  RECT client{};
  GetClientRect(control, &client);
  ClickAt(control, {client.right / 2, client.bottom / 2});
}

void PushButton(HWND dialog, int id) { PostMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

void CloseFromCaption(HWND dialog) { PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }

}  // namespace zx::test
