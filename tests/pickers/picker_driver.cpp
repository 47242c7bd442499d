// zxtest_picker_driver: the user at the other end of a page script's picker
// calls, in a process of its own, started before the script. It plays kSteps,
// one dialog each, in the order of the calls of tests/scripts/pickers.js.
//
// Exits 0 when every step was done. After a failed step every picker dialog
// is cancelled until none is left, so the script never waits forever.
#include <windows.h>

#include <cstdio>
#include <iterator>

#include "picker_user.h"

namespace zx::test {
namespace {

bool PickAlpha(const TreeUser& tree) {
  return tree.ClickLabel(tree.Open({L"Desktop", L"My Computer", L"C:", L"ZxScan", L"Alpha"}));
}

// Checking the computer checks every drive.
bool CheckTheComputer(const TreeUser& tree) {
  return tree.ClickBox(tree.Child(nullptr, L"My Computer")) &&
         tree.Shows(tree.Open({L"My Computer", L"Z:"}), 3);
}

const struct Step {
  const char* name;
  Picker dialog;
  bool (*act)(const TreeUser& tree);  // null: nothing before the button
  int button;
} kSteps[] = {
    {"picking C:\\ZxScan\\Alpha", Picker::kBrowse, &PickAlpha, IDOK},
    {"checking My Computer", Picker::kScanPath, &CheckTheComputer, IDOK},
    {"cancelling the scan-path dialog", Picker::kScanPath, nullptr, IDCANCEL},
};

bool Play(const Step& step) {
  const HWND dialog = WaitForPicker(step.dialog);
  const bool done = dialog && (!step.act || step.act(TreeUser(dialog)));
  if (done) ClickControl(dialog, step.button);
  if (done && WaitUntilGone(dialog)) return true;
  std::printf("driver: %s failed\n", step.name);
  return false;
}

}  // namespace
}  // namespace zx::test

int main() {
  using namespace zx::test;
  size_t done = 0;
  if (CreateScanFolders()) {
    while (done < std::size(kSteps) && Play(kSteps[done])) ++done;
  } else {
    std::printf("driver: creating C:\\ZxScan failed\n");
  }
  if (done == std::size(kSteps)) {
    std::printf("driver: every step done\n");
    return 0;
  }
  // Each call the script has still to make shows one dialog, the failed
  // step's own perhaps still open: cancel them until none comes.
  while (const HWND dialog = WaitForPicker(Picker::kEither)) {
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    WaitUntilGone(dialog);
  }
  return 1;
}
