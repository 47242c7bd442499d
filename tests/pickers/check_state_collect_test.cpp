#include "pickers/scan_result.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pickers/check_state.h"
#include "sample_scan_tree.h"

namespace zx {
namespace {

using Paths = std::vector<std::u16string>;

TEST(CheckCollect, NothingCheckedGivesNoPaths) {
  SampleScanTree s;
  EXPECT_EQ(CollectCheckedPaths(s.tree), Paths{});
  EXPECT_EQ(CollectCheckedPaths(SyntheticCheckTree()), Paths{});
  // A checked computer folder not yet expanded names no location.
  SyntheticCheckTree unexpanded;
  ToggleCheck(unexpanded, unexpanded.Insert(nullptr, std::u16string(kComputerFolderPath)));
  EXPECT_EQ(CollectCheckedPaths(unexpanded), Paths{});
}

TEST(CheckCollect, CheckedComputerListsItsCheckedChildrenInstead) {
  SampleScanTree s;
  ToggleCheck(s.tree, s.computer);
  EXPECT_EQ(CollectCheckedPaths(s.tree), (Paths{u"C:\\Users\\Public", u"C:\\", u"D:\\"}));
  ToggleCheck(s.tree, s.publicDocs);
  EXPECT_EQ(CollectCheckedPaths(s.tree), (Paths{u"C:\\", u"D:\\"}));
}

TEST(CheckCollect, CheckedDriveHidesCheckedFoldersInsideIt) {
  SampleScanTree s;
  ToggleCheck(s.tree, s.c);
  ASSERT_EQ(s.tree.StateOf(s.x), CheckState::kChecked);
  EXPECT_EQ(CollectCheckedPaths(s.tree), (Paths{u"C:\\"}));
  ToggleCheck(s.tree, s.share);
  EXPECT_EQ(CollectCheckedPaths(s.tree), (Paths{u"C:\\", u"\\\\srv\\share"}));
}

TEST(CheckCollect, TopmostCheckedItemsInTreeOrder) {
  SampleScanTree s;
  ToggleCheck(s.tree, s.b);
  ToggleCheck(s.tree, s.y);
  ToggleCheck(s.tree, s.d);
  EXPECT_EQ(CollectCheckedPaths(s.tree), (Paths{u"C:\\A\\y", u"C:\\B", u"D:\\"}));
  ToggleCheck(s.tree, s.x);
  EXPECT_EQ(CollectCheckedPaths(s.tree), (Paths{u"C:\\", u"D:\\"}));
}

TEST(CheckCollect, SameLocationCheckedTwiceIsListedTwice) {
  SampleScanTree s;
  const TreeItem desktopItem = s.tree.Insert(nullptr, u"C:\\Users\\Public");
  ToggleCheck(s.tree, desktopItem);
  ToggleCheck(s.tree, s.publicDocs);
  EXPECT_EQ(CollectCheckedPaths(s.tree), (Paths{u"C:\\Users\\Public", u"C:\\Users\\Public"}));
}

TEST(CheckCollect, CheckedItemsBelowBoxlessItemsAreFoundWherever) {
  SampleScanTree s;
  // The share lies below the box-less server root, after another checked item.
  ToggleCheck(s.tree, s.share);
  EXPECT_EQ(CollectCheckedPaths(s.tree), (Paths{u"\\\\srv\\share"}));
  ToggleCheck(s.tree, s.d);
  EXPECT_EQ(CollectCheckedPaths(s.tree), (Paths{u"D:\\", u"\\\\srv\\share"}));
}

TEST(CheckCollect, UnreadableItemsAreNotEntered) {
  SampleScanTree s;
  ToggleCheck(s.tree, s.x);
  ToggleCheck(s.tree, s.d);
  s.tree.FailReads(s.a);
  EXPECT_EQ(CollectCheckedPaths(s.tree), (Paths{u"D:\\"}));
}

}  // namespace
}  // namespace zx
