#include "pickers/check_state_invariants.h"

#include "pickers/check_state_agreement.h"
#include "pickers/check_state_paths.h"
#include "pickers/check_tree_walk.h"

namespace zx {
namespace {

std::optional<CheckStateRule> BrokenRule(const CheckTree& tree, TreeItem item) {
  const std::optional<CheckState> state = tree.ReadState(item);
  if (!state) return CheckStateRule::StateReadable;
  const bool hasBox = *state != CheckState::NoBox;
  if (hasBox != IsCheckEligible(PathOfStoredPath(tree.StoredPath(item))))
    return CheckStateRule::BoxFollowsEligibility;
  if (!hasBox) return std::nullopt;
  const std::optional<CheckState> below = ChildrenAgreement(tree, item);
  if (below && *below != *state) return CheckStateRule::BoxFollowsChildren;
  if (!below && *state == CheckState::Partial) return CheckStateRule::LoneBoxNeverPartial;
  return std::nullopt;
}

}  // namespace

const char* CheckStateRuleName(CheckStateRule rule) {
  switch (rule) {
    case CheckStateRule::StateReadable: return "state readable";
    case CheckStateRule::BoxFollowsEligibility: return "box follows eligibility";
    case CheckStateRule::BoxFollowsChildren: return "box follows children";
    case CheckStateRule::LoneBoxNeverPartial: return "lone box never partial";
  }
  return "unknown rule";
}

std::optional<CheckStateFault> FindCheckStateFault(const CheckTree& tree) {
  for (TreeItem item = tree.FirstTopLevelItem(); item;
       item = NextInPreorder(tree, item, nullptr, Descend::Into)) {
    if (const std::optional<CheckStateRule> rule = BrokenRule(tree, item))
      return CheckStateFault{item, *rule};
  }
  return std::nullopt;
}

}  // namespace zx
