// zxtest_picker_driver: the user at the other end of a page script's picker
// calls, in a process of its own, started before the script.
//
//   zxtest_picker_driver page
//     browse dialog:     pick C:\ZxScan\Alpha, OK
//     scan-path dialog:  check C:\ZxScan\Alpha and C:\ZxScan\Beta, OK
//     scan-path dialog:  Cancel
//
// Exits 0 when every step was done. A step that fails is reported and any
// picker dialog still open is cancelled, so the script never waits forever.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "picker_windows.h"
#include "remote_tree_view.h"
#include "scan_folders.h"
#include "tree_user.h"

namespace zx::test {
namespace {

bool Fail(const char* step) {
  std::printf("driver: %s failed\n", step);
  return false;
}

bool PickFolder(const std::vector<std::wstring>& names) {
  const HWND dialog = WaitForBrowseDialog();
  if (!dialog) return Fail("finding the browse dialog");
  const RemoteTreeView tree(TreeOf(dialog));
  if (!WaitUntil([&] { return tree.Root() && tree.Child(tree.Root()); })) {
    return Fail("waiting for the browse tree");
  }
  const HTREEITEM item = OpenPath(tree, nullptr, names);
  const std::optional<POINT> label = item ? tree.PointOn(item, TVHT_ONITEMLABEL) : std::nullopt;
  if (!label) return Fail("finding the folder to pick");
  ClickAt(tree.Handle(), *label);
  if (!WaitUntil([&] { return tree.Caret() == item; })) return Fail("selecting the folder");
  PushButton(dialog, IDOK);
  return WaitUntilGone(dialog) || Fail("closing the browse dialog");
}

bool CheckScanFolders(const std::vector<std::wstring>& names) {
  const HWND dialog = WaitForScanPathDialog();
  if (!dialog) return Fail("finding the scan-path dialog");
  const RemoteTreeView tree(TreeOf(dialog));
  const HTREEITEM scan = OpenScanFolder(tree, {L"ZxScan"});
  if (!scan || !ExpandByClick(tree, scan)) return Fail("opening C:\\ZxScan");
  for (const std::wstring& name : names) {
    const HTREEITEM item = tree.FindChildNamed(scan, name);
    if (!item || !ClickCheckBox(tree, item)) return Fail("checking a folder");
  }
  ClickControl(dialog, IDOK);
  return WaitUntilGone(dialog) || Fail("closing the scan-path dialog with OK");
}

bool CancelScanPathDialog() {
  const HWND dialog = WaitForScanPathDialog();
  if (!dialog) return Fail("finding the second scan-path dialog");
  ClickControl(dialog, IDCANCEL);
  return WaitUntilGone(dialog) || Fail("cancelling the scan-path dialog");
}

bool ActOnPage() {
  if (!CreateScanFolders()) return Fail("creating C:\\ZxScan");
  return PickFolder({L"My Computer", L"C:", L"ZxScan", L"Alpha"}) &&
         CheckScanFolders({L"Alpha", L"Beta"}) && CancelScanPathDialog();
}

void CancelWhatIsLeft() {
  for (int round = 0; round < 10; ++round) {
    for (const HWND dialog : {FindScanPathDialog(), FindBrowseDialog()}) {
      if (dialog) PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    }
    Sleep(200);
  }
}

}  // namespace
}  // namespace zx::test

int main(int argc, char** argv) {
  if (argc != 2 || std::strcmp(argv[1], "page") != 0) {
    std::printf("usage: zxtest_picker_driver page\n");
    return 2;
  }
  if (zx::test::ActOnPage()) {
    std::printf("driver: every step done\n");
    return 0;
  }
  zx::test::CancelWhatIsLeft();
  return 1;
}
