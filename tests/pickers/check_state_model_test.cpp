#include "pickers/check_state.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include "sample_scan_tree.h"

namespace zx {
namespace {

constexpr CheckState kNoBox = CheckState::kNoBox;
constexpr CheckState kOff = CheckState::kUnchecked;
constexpr CheckState kPartial = CheckState::kPartial;
constexpr CheckState kOn = CheckState::kChecked;

std::vector<CheckState> StatesOf(const SyntheticCheckTree& tree,
                                 std::initializer_list<TreeItem> items) {
  std::vector<CheckState> states;
  for (TreeItem item : items) states.push_back(tree.StateOf(item));
  return states;
}

using States = std::vector<CheckState>;
using Notices = std::vector<StateNotice>;

TEST(CheckInitialState, EligibleItemsStartUncheckedOthersWithoutBox) {
  SampleScanTree s;
  EXPECT_EQ(StatesOf(s.tree, {s.computer, s.publicDocs, s.c, s.x, s.d, s.share}),
            States(6, kOff));
  EXPECT_EQ(StatesOf(s.tree, {s.virtualItem, s.server}), States(2, kNoBox));
}

TEST(CheckInitialState, ItemsInsertedUnderCheckedItemStartChecked) {
  SampleScanTree s;
  ToggleCheck(s.tree, s.c);
  EXPECT_EQ(s.tree.StateOf(s.tree.Insert(s.b, u"C:\\B\\new")), kOn);
  EXPECT_EQ(s.tree.StateOf(s.tree.Insert(s.d, u"D:\\new")), kOff);
  ToggleCheck(s.tree, s.x);  // a becomes partial
  EXPECT_EQ(s.tree.StateOf(s.tree.Insert(s.a, u"C:\\A\\new")), kOff);
  EXPECT_EQ(s.tree.StateOf(s.tree.Insert(nullptr, u"E:\\")), kOff);
  // A box-less item holds no state: its new children follow the nearest box.
  const TreeItem virtualFolder = s.tree.Insert(s.b, kVirtualItemPath);
  EXPECT_EQ(s.tree.StateOf(virtualFolder), kNoBox);
  EXPECT_EQ(s.tree.StateOf(s.tree.Insert(virtualFolder, u"C:\\B\\v\\1")), kOn);
  EXPECT_EQ(s.tree.StateOf(s.b), kOn);
}

TEST(CheckInitialState, SettingWithoutSpreadingDownLeavesDescendants) {
  SampleScanTree s;
  SetCheck(s.tree, s.a, kOn, CheckSpread::kUpOnly);
  EXPECT_EQ(StatesOf(s.tree, {s.a, s.x, s.y}), (States{kOn, kOff, kOff}));
  EXPECT_EQ(StatesOf(s.tree, {s.c, s.computer}), (States{kPartial, kPartial}));
}

TEST(CheckToggle, ClickChecksAnyStateButCheckedWhichItUnchecks) {
  SampleScanTree s;
  EXPECT_TRUE(ToggleCheck(s.tree, s.x));
  EXPECT_EQ(s.tree.StateOf(s.x), kOn);
  ASSERT_EQ(s.tree.StateOf(s.a), kPartial);
  EXPECT_TRUE(ToggleCheck(s.tree, s.a));
  EXPECT_EQ(StatesOf(s.tree, {s.a, s.x, s.y}), States(3, kOn));
  EXPECT_TRUE(ToggleCheck(s.tree, s.a));
  EXPECT_EQ(StatesOf(s.tree, {s.a, s.x, s.y}), States(3, kOff));
}

TEST(CheckToggle, ClickOnItemWithoutBoxWritesNoBoxAndNothingElse) {
  SampleScanTree s;
  EXPECT_TRUE(ToggleCheck(s.tree, s.server));
  EXPECT_EQ(s.tree.TakeNotices(), (Notices{{s.server, kNoBox}}));
  EXPECT_EQ(StatesOf(s.tree, {s.server, s.share}), (States{kNoBox, kOff}));
}

TEST(CheckToggle, SpaceBarTogglesOnlyBoxedItems) {
  SampleScanTree s;
  EXPECT_FALSE(ToggleBoxedCheck(s.tree, s.virtualItem));
  EXPECT_TRUE(s.tree.TakeNotices().empty());
  EXPECT_TRUE(ToggleBoxedCheck(s.tree, s.share));
  EXPECT_EQ(s.tree.StateOf(s.share), kOn);
  EXPECT_TRUE(ToggleBoxedCheck(s.tree, s.share));
  EXPECT_EQ(s.tree.StateOf(s.share), kOff);
}

TEST(CheckToggle, RefusedOrUnreadableStateChangesNothing) {
  SampleScanTree s;
  s.tree.RefuseWrites(s.a);
  EXPECT_FALSE(ToggleCheck(s.tree, s.a));
  s.tree.FailReads(s.b);
  EXPECT_FALSE(ToggleCheck(s.tree, s.b));
  EXPECT_FALSE(ToggleBoxedCheck(s.tree, s.b));
  EXPECT_TRUE(s.tree.TakeNotices().empty());
  EXPECT_EQ(StatesOf(s.tree, {s.a, s.x, s.b, s.c}), States(4, kOff));
}

TEST(CheckSpreadDown, CheckingReachesEveryInsertedDescendant) {
  SampleScanTree s;
  ToggleCheck(s.tree, s.computer);
  EXPECT_EQ(StatesOf(s.tree, {s.computer, s.publicDocs, s.c, s.a, s.x, s.y, s.b, s.d}),
            States(8, kOn));
  EXPECT_EQ(StatesOf(s.tree, {s.virtualItem, s.share}), (States{kNoBox, kOff}));
  // Only what is inserted is reached; a later child gets its state on insertion.
  const TreeItem later = s.tree.Add(s.d, u"D:\\later");
  EXPECT_EQ(s.tree.StateOf(later), kNoBox);
  ApplyInitialCheck(s.tree, later);
  EXPECT_EQ(s.tree.StateOf(later), kOn);
}

TEST(CheckSpreadDown, ItemsThatMayNotHaveBoxStayWithoutButAreWalkedThrough) {
  SyntheticCheckTree tree;
  const TreeItem folder = tree.Insert(nullptr, u"C:\\Shares");
  const TreeItem server = tree.Insert(folder, u"\\\\srv");
  const TreeItem share = tree.Insert(server, u"\\\\srv\\share");
  ToggleCheck(tree, folder);
  EXPECT_EQ(StatesOf(tree, {folder, server, share}), (States{kOn, kNoBox, kOn}));
}

TEST(CheckSpreadUp, DisagreeingSiblingMakesEveryBoxedAncestorPartial) {
  SampleScanTree s;
  ToggleCheck(s.tree, s.x);
  EXPECT_EQ(StatesOf(s.tree, {s.x, s.y, s.a, s.c, s.computer}),
            (States{kOn, kOff, kPartial, kPartial, kPartial}));
  EXPECT_EQ(StatesOf(s.tree, {s.b, s.d, s.publicDocs}), States(3, kOff));
}

TEST(CheckSpreadUp, AgreementLiftsStateLevelByLevelAsFarAsItReaches) {
  SampleScanTree s;
  ToggleCheck(s.tree, s.c);
  ToggleCheck(s.tree, s.x);
  EXPECT_EQ(StatesOf(s.tree, {s.a, s.c, s.computer}), (States{kPartial, kPartial, kPartial}));
  ToggleCheck(s.tree, s.x);
  // a and c agree again; the computer's other drives are still unchecked.
  EXPECT_EQ(StatesOf(s.tree, {s.a, s.c, s.computer}), (States{kOn, kOn, kPartial}));
  ToggleCheck(s.tree, s.c);
  EXPECT_EQ(StatesOf(s.tree, {s.a, s.c, s.computer}), (States{kOff, kOff, kOff}));
}

TEST(CheckSpreadUp, BoxlessSiblingCountsByTheBoxesBelowIt) {
  SyntheticCheckTree tree;
  const TreeItem drive = tree.Insert(nullptr, u"C:\\");
  const TreeItem first = tree.Insert(drive, u"C:\\1");
  const TreeItem virtualLeaf = tree.Insert(drive, kVirtualItemPath);
  const TreeItem last = tree.Insert(drive, u"C:\\3");
  // A box-less sibling before the unchecked one must not end the search.
  ToggleCheck(tree, first);
  EXPECT_EQ(StatesOf(tree, {drive, virtualLeaf, last}), (States{kPartial, kNoBox, kOff}));

  const TreeItem virtualFolder = tree.Insert(drive, kVirtualItemPath);
  const TreeItem inside = tree.Insert(virtualFolder, u"C:\\v\\1");
  ToggleCheck(tree, last);
  EXPECT_EQ(tree.StateOf(drive), kPartial);  // inside is still unchecked
  ToggleCheck(tree, inside);
  EXPECT_EQ(tree.StateOf(drive), kOn);
}

TEST(CheckSpreadUp, BoxlessParentPassesStateOn) {
  SyntheticCheckTree tree;
  const TreeItem drive = tree.Insert(nullptr, u"C:\\");
  const TreeItem virtualFolder = tree.Insert(drive, kVirtualItemPath);
  const TreeItem one = tree.Insert(virtualFolder, u"C:\\v\\1");
  const TreeItem two = tree.Insert(virtualFolder, u"C:\\v\\2");
  ToggleCheck(tree, one);
  EXPECT_EQ(tree.StateOf(drive), kPartial);
  ToggleCheck(tree, two);
  EXPECT_EQ(StatesOf(tree, {drive, virtualFolder}), (States{kOn, kNoBox}));
}

TEST(CheckNotices, EveryAcceptedWriteIsReportedTheChangedItemLast) {
  SampleScanTree s;
  ToggleCheck(s.tree, s.x);
  EXPECT_EQ(s.tree.TakeNotices(), (Notices{{s.a, kPartial}, {s.c, kPartial},
                                           {s.computer, kPartial}, {s.x, kOn}}));
  ToggleCheck(s.tree, s.a);  // y follows, x is already checked; a's siblings disagree
  EXPECT_EQ(s.tree.TakeNotices(), (Notices{{s.y, kOn}, {s.c, kPartial},
                                           {s.computer, kPartial}, {s.a, kOn}}));
  s.tree.RefuseWrites(s.c);
  ToggleCheck(s.tree, s.b);
  EXPECT_EQ(s.tree.TakeNotices(), (Notices{{s.computer, kPartial}, {s.b, kOn}}));
}

}  // namespace
}  // namespace zx
