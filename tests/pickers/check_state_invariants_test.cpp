#include "pickers/check_state.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "sample_scan_tree.h"

namespace zx {
namespace {

std::optional<CheckStateRule> BrokenRule(const CheckTree& tree) {
  const std::optional<CheckStateFault> fault = FindCheckStateFault(tree);
  if (!fault) return std::nullopt;
  return fault->rule;
}

TEST(CheckInvariants, EachBrokenRuleIsReported) {
  SampleScanTree s;
  EXPECT_EQ(BrokenRule(s.tree), std::nullopt);

  s.tree.WriteState(s.server, CheckState::kUnchecked);
  EXPECT_EQ(BrokenRule(s.tree), CheckStateRule::kBoxFollowsEligibility);
  s.tree.WriteState(s.server, CheckState::kNoBox);

  s.tree.WriteState(s.x, CheckState::kChecked);
  const std::optional<CheckStateFault> fault = FindCheckStateFault(s.tree);
  ASSERT_TRUE(fault);
  EXPECT_EQ(fault->item, s.a);  // its ancestors still agree with their own children
  EXPECT_EQ(fault->rule, CheckStateRule::kBoxFollowsChildren);
  s.tree.WriteState(s.x, CheckState::kUnchecked);

  s.tree.WriteState(s.d, CheckState::kPartial);
  EXPECT_EQ(BrokenRule(s.tree), CheckStateRule::kBoxFollowsChildren);
  s.tree.WriteState(s.computer, CheckState::kPartial);
  EXPECT_EQ(BrokenRule(s.tree), CheckStateRule::kLoneBoxNeverPartial);
  s.tree.WriteState(s.d, CheckState::kUnchecked);
  s.tree.WriteState(s.computer, CheckState::kUnchecked);

  s.tree.FailReads(s.share);
  EXPECT_EQ(BrokenRule(s.tree), CheckStateRule::kStateReadable);
}

// Paths of every kind, so that box-less items turn up inside the tree as
// well as at its leaves.
std::u16string RandomPath(std::mt19937& random) {
  const int number = static_cast<int>(random() % 100);
  switch (random() % 6) {
    case 0: return std::u16string(kVirtualItemPath);
    case 1: return u"\\\\srv" + std::u16string(1, static_cast<char16_t>(u'0' + number % 10));
    case 2: return u"\\\\srv\\share" + std::u16string(1, static_cast<char16_t>(u'0' + number % 10));
    case 3: return u"@C:\\Users\\" + std::u16string(1, static_cast<char16_t>(u'a' + number % 26));
    default: return u"C:\\" + std::u16string(1, static_cast<char16_t>(u'a' + number % 26));
  }
}

TreeItem RandomItem(const SyntheticCheckTree& tree, std::mt19937& random) {
  const std::vector<TreeItem> items = tree.Items();
  return items[random() % items.size()];
}

TEST(CheckInvariants, HoldAfterEveryInsertionClickAndSpaceBar) {
  for (unsigned seed = 1; seed <= 40; ++seed) {
    std::mt19937 random(seed);
    SyntheticCheckTree tree;
    tree.Insert(nullptr, std::u16string(kComputerFolderPath));
    for (int step = 0; step < 200; ++step) {
      const TreeItem item = RandomItem(tree, random);
      switch (random() % 4) {
        case 0: tree.Insert(random() % 8 ? item : nullptr, RandomPath(random)); break;
        case 1: ToggleBoxedCheck(tree, item); break;
        default: ToggleCheck(tree, item); break;
      }
      const std::optional<CheckStateFault> fault = FindCheckStateFault(tree);
      ASSERT_FALSE(fault) << "seed " << seed << ", step " << step << ": "
                          << CheckStateRuleName(fault->rule);
    }
  }
}

}  // namespace
}  // namespace zx
