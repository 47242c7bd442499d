#include "scan_path_session.h"

#include "picker_session.h"
#include "picker_windows.h"
#include "tree_user.h"

namespace zx::test {

ScanPathOutcome::~ScanPathOutcome() {
  if (paths != kUntouched) SysFreeString(paths);
}

VARIANT IntVariant(LONG value) {
  VARIANT variant;
  VariantInit(&variant);
  variant.vt = VT_I4;
  variant.lVal = value;
  return variant;
}

void ShowScanPathDialog(IZevMultiFileDialog* picker, const ScanPathCall& call,
                        const ScanPathUser& user, ScanPathOutcome& outcome) {
  const auto show = [&] {
    VARIANT reserved;
    VariantInit(&reserved);
    outcome.hr =
        call.explicitPosition
            ? picker->GetOpenFileNameEx2(call.showFiles, call.caption, call.subtitle, 0, call.x,
                                         call.y, call.relativeToParent, reserved, &outcome.paths)
            : picker->GetOpenFileNameEx(call.showFiles, call.caption, call.subtitle, 0,
                                        &outcome.paths);
  };
  RunWithUser(show, [&] {
    const HWND dialog = WaitForScanPathDialog(GetCurrentProcessId());
    ASSERT_TRUE(dialog) << "the scan-path dialog did not show";
    const RemoteTreeView tree(TreeOf(dialog));
    ASSERT_TRUE(tree.IsUsable());
    ASSERT_TRUE(WaitUntil([&] { return ComputerItem(tree) && tree.Child(ComputerItem(tree)); }))
        << "the computer item was not filled";
    user(dialog, tree);
  });
}

}  // namespace zx::test
