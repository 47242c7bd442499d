// The scan-path dialog driven as a person would: another thread finds it,
// opens levels, clicks boxes and labels, presses keys and buttons.
#include "picker_test.h"
#include "res/resource_ids.h"

namespace zx::test {
namespace {

using ScanPathDialog = PickerTest;

TEST_F(ScanPathDialog, BoxesLabelsAndTheSpaceBarCheckWhatOkLists) {
  const Outcome outcome = ShowScanPath([](HWND dialog, const TreeUser& tree) {
    const HTREEITEM drive = tree.Open(kDriveC);
    EXPECT_TRUE(tree.ClickLabel(drive) && tree.Shows(drive, kChecked));
    const HTREEITEM scan = tree.Open(kScanFolder);
    EXPECT_TRUE(tree.Shows(tree.Child(scan, L"zeta"), kChecked)) << "listed below a checked item";
    EXPECT_TRUE(tree.ClickLabel(drive) && tree.Shows(scan, kUnchecked));
    for (const wchar_t* name : {L"Beta", L"Alpha"})
      EXPECT_TRUE(tree.ClickBox(tree.Child(scan, name)));
    EXPECT_TRUE(tree.PressSpace(tree.Child(scan, L"KEEP.ZIP")));
    EXPECT_TRUE(tree.Shows(tree.Child(scan, L"KEEP.ZIP"), kChecked));
    for (const auto& path : {kScanFolder, kDriveC})
      EXPECT_TRUE(tree.Shows(tree.Open(path), kPartial));
    // The last unchecked child makes the parent agree: it alone is listed.
    EXPECT_TRUE(tree.ClickBox(tree.Child(scan, L"zeta")) && tree.Shows(scan, kChecked));
    EXPECT_TRUE(tree.Shows(drive, kPartial));
    ClickControl(dialog, IDOK);
  });
  EXPECT_EQ(outcome.hr, S_OK);
  EXPECT_EQ(outcome.text, LR"({result:{paths:["C:\\ZxScan"],count:1}})");
}

TEST_F(ScanPathDialog, ListsFoldersInOrdinalOrderAndFilesOnlyOnceAskedFromThenOn) {
  const std::vector<std::wstring> folders = {L"Alpha", L"Beta", L"KEEP.ZIP", L"zeta"};
  const std::vector<std::wstring> all = {L"Alpha",    L"Arch.zip",  L"Beta",
                                         L"KEEP.ZIP", L"notes.txt", L"zeta"};
  const std::pair<VARIANT_BOOL, const std::vector<std::wstring>*> showings[] = {
      {VARIANT_FALSE, &folders}, {VARIANT_TRUE, &all}, {VARIANT_FALSE, &all}};
  for (const auto& [showFiles, listed] : showings) {
    ShowScanPath(
        [&, files = listed == &all](HWND dialog, const TreeUser& tree) {
          // Every showing starts unchecked, whatever the one before checked.
          const HTREEITEM scan = tree.Open(kScanFolder);
          EXPECT_TRUE(tree.Shows(scan, kUnchecked) && tree.ClickBox(scan));
          EXPECT_TRUE(tree.Expand(scan));
          EXPECT_EQ(tree.ChildTexts(scan), *listed);
          // A folder without listed children loses its button once opened.
          const HTREEITEM alpha = tree.Child(scan, L"Alpha");
          EXPECT_TRUE(tree.Expand(alpha));
          EXPECT_EQ(tree.HasExpandButton(alpha), files);
          EXPECT_TRUE(tree.HasExpandButton(tree.Child(scan, L"Beta")));
          EXPECT_FALSE(files && tree.HasExpandButton(tree.Child(scan, L"notes.txt")));
          ClickControl(dialog, IDCANCEL);
        },
        showFiles);
  }
}

}  // namespace
}  // namespace zx::test
