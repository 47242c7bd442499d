// zxtest_picker_driver: the user at the other end of a page script's picker
// calls, in a process of its own, started before the script.
//
//   zxtest_picker_driver page
//     browse dialog:     pick C:\ZxScan\Alpha, OK
//     scan-path dialog:  check C:\ZxScan\Alpha and C:\ZxScan\Beta, OK
//     scan-path dialog:  Cancel
//
// Exits 0 when every step was done. After a failed step every picker dialog
// is cancelled until none is left, so the script never waits forever.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <iterator>

#include "harness/message_pump.h"
#include "picker_user.h"

namespace zx::test {
namespace {

bool Fail(const char* step) {
  std::printf("driver: %s failed\n", step);
  return false;
}

bool PickFolder() {
  const HWND dialog = WaitForBrowseDialog();
  if (!dialog) return Fail("finding the browse dialog");
  const TreeUser tree(dialog);
  if (!tree.ClickLabel(tree.Open({L"Desktop", L"My Computer", L"C:", L"ZxScan", L"Alpha"}))) {
    return Fail("selecting C:\\ZxScan\\Alpha");
  }
  PushButton(dialog, IDOK);
  return WaitUntilGone(dialog) || Fail("closing the browse dialog");
}

bool CheckScanFolders() {
  const HWND dialog = WaitForScanPathDialog();
  if (!dialog) return Fail("finding the scan-path dialog");
  const TreeUser tree(dialog);
  const HTREEITEM scan = tree.Open({L"My Computer", L"C:", L"ZxScan"});
  if (!scan) return Fail("finding C:\\ZxScan");
  for (const wchar_t* name : {L"Alpha", L"Beta"}) {
    const HTREEITEM item = tree.Child(scan, name);
    if (!tree.ClickBox(item) || !tree.Shows(item, 3)) return Fail("checking a folder");
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

}  // namespace
}  // namespace zx::test

int main(int argc, char** argv) {
  using namespace zx::test;
  if (argc != 2 || std::strcmp(argv[1], "page") != 0) {
    std::printf("usage: zxtest_picker_driver page\n");
    return 2;
  }
  bool (*const steps[])() = {&PickFolder, &CheckScanFolders, &CancelScanPathDialog};
  size_t done = 0;
  if (CreateScanFolders()) {
    while (done < std::size(steps) && steps[done]()) ++done;
  } else {
    Fail("creating C:\\ZxScan");
  }
  if (done == std::size(steps)) {
    std::printf("driver: every step done\n");
    return 0;
  }
  // Each call the script has still to make shows one dialog, the failed
  // step's own perhaps still open: cancel them one by one.
  for (size_t left = std::size(steps) - done; left > 0; --left) {
    HWND dialog = nullptr;
    if (!PollUntil([&] { return (dialog = FindPickerDialog()) != nullptr; })) break;
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    WaitUntilGone(dialog);
  }
  return 1;
}
