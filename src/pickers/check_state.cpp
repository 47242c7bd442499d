#include "pickers/check_state.h"

#include "pickers/check_state_paths.h"

namespace zx {

std::optional<CheckState> StandingState(const CheckTree& tree, TreeItem item) {
  const std::optional<CheckState> own = tree.ReadState(item);
  if (own == CheckState::kNoBox) return ChildrenAgreement(tree, item);
  return own;
}

std::optional<CheckState> ChildrenAgreement(const CheckTree& tree, TreeItem parent) {
  std::optional<CheckState> agreed;
  for (TreeItem child = tree.FirstChild(parent); child; child = tree.NextSibling(child)) {
    const std::optional<CheckState> standing = StandingState(tree, child);
    if (!standing) continue;
    if (agreed && *agreed != *standing) return CheckState::kPartial;
    agreed = standing;
  }
  return agreed;
}

namespace {

bool IsEligible(const CheckTree& tree, TreeItem item) {
  return IsCheckEligible(PathOfStoredPath(tree.StoredPath(item)));
}

// The parent window hears only of states the control took.
bool WriteAndNotify(CheckTree& tree, TreeItem item, CheckState state) {
  if (!tree.WriteState(item, state)) return false;
  tree.StateWritten(item, state);
  return true;
}

// Descendants follow with the same eligibility rule as the item itself, so a
// server root below a checked folder never gains a box (and so can never be
// listed); the walk still goes on into its children.
void SpreadDown(CheckTree& tree, TreeItem top, CheckState state) {
  for (TreeItem item = tree.FirstChild(top); item;
       item = NextInPreorder(tree, item, top, Descend::kInto)) {
    const CheckState wanted = IsEligible(tree, item) ? state : CheckState::kNoBox;
    if (tree.ReadState(item) != wanted) WriteAndNotify(tree, item, wanted);
  }
}

// Every sibling is weighed, box-less ones by what lies below them: stopping
// at the first box-less sibling could check a parent over an unchecked child.
bool SiblingDisagrees(const CheckTree& tree, TreeItem item, TreeItem parent, CheckState state) {
  for (TreeItem sibling = tree.FirstChild(parent); sibling; sibling = tree.NextSibling(sibling)) {
    if (sibling == item) continue;
    const std::optional<CheckState> standing = StandingState(tree, sibling);
    if (standing && *standing != state) return true;
  }
  return false;
}

bool HasBox(const std::optional<CheckState>& state) {
  return state && *state != CheckState::kNoBox;
}

void MarkAncestorsPartial(CheckTree& tree, TreeItem item) {
  for (TreeItem ancestor = tree.Parent(item); ancestor; ancestor = tree.Parent(ancestor)) {
    if (HasBox(tree.ReadState(ancestor))) WriteAndNotify(tree, ancestor, CheckState::kPartial);
  }
}

// Level by level: while the siblings agree, the parent takes the state (a
// box-less parent passes it on); the first disagreement makes every boxed
// ancestor partial.
void SpreadUp(CheckTree& tree, TreeItem item, CheckState state) {
  for (TreeItem parent = tree.Parent(item); parent; item = parent, parent = tree.Parent(item)) {
    if (SiblingDisagrees(tree, item, parent, state)) {
      MarkAncestorsPartial(tree, item);
      return;
    }
    const std::optional<CheckState> parentState = tree.ReadState(parent);
    if (HasBox(parentState) && *parentState != state) WriteAndNotify(tree, parent, state);
  }
}

CheckState Toggled(CheckState state) {
  return state == CheckState::kChecked ? CheckState::kUnchecked : CheckState::kChecked;
}

// A box-less item holds no state of its own, so a new item below one follows
// the nearest ancestor that has a box.
std::optional<CheckState> NearestBoxedAncestorState(const CheckTree& tree, TreeItem item) {
  for (TreeItem ancestor = tree.Parent(item); ancestor; ancestor = tree.Parent(ancestor)) {
    const std::optional<CheckState> state = tree.ReadState(ancestor);
    if (state != CheckState::kNoBox) return state;
  }
  return std::nullopt;
}

}  // namespace

bool SetCheck(CheckTree& tree, TreeItem item, CheckState state, CheckSpread spread) {
  if (!IsEligible(tree, item)) state = CheckState::kNoBox;
  if (!tree.WriteState(item, state)) return false;
  if (state != CheckState::kNoBox) {
    if (spread == CheckSpread::kDownAndUp) SpreadDown(tree, item, state);
    SpreadUp(tree, item, state);
  }
  tree.StateWritten(item, state);
  return true;
}

bool ToggleCheck(CheckTree& tree, TreeItem item) {
  const std::optional<CheckState> current = tree.ReadState(item);
  return current && SetCheck(tree, item, Toggled(*current), CheckSpread::kDownAndUp);
}

bool ToggleBoxedCheck(CheckTree& tree, TreeItem item) {
  return HasBox(tree.ReadState(item)) && ToggleCheck(tree, item);
}

bool ApplyInitialCheck(CheckTree& tree, TreeItem item) {
  const bool belowChecked = NearestBoxedAncestorState(tree, item) == CheckState::kChecked;
  return SetCheck(tree, item, belowChecked ? CheckState::kChecked : CheckState::kUnchecked,
                  CheckSpread::kUpOnly);
}

namespace {

std::optional<CheckStateRule> BrokenRule(const CheckTree& tree, TreeItem item) {
  const std::optional<CheckState> state = tree.ReadState(item);
  if (!state) return CheckStateRule::kStateReadable;
  const bool hasBox = *state != CheckState::kNoBox;
  if (hasBox != IsCheckEligible(PathOfStoredPath(tree.StoredPath(item))))
    return CheckStateRule::kBoxFollowsEligibility;
  if (!hasBox) return std::nullopt;
  const std::optional<CheckState> below = ChildrenAgreement(tree, item);
  if (below && *below != *state) return CheckStateRule::kBoxFollowsChildren;
  if (!below && *state == CheckState::kPartial) return CheckStateRule::kLoneBoxNeverPartial;
  return std::nullopt;
}

}  // namespace

const char* CheckStateRuleName(CheckStateRule rule) {
  switch (rule) {
    case CheckStateRule::kStateReadable:
      return "state readable";
    case CheckStateRule::kBoxFollowsEligibility:
      return "box follows eligibility";
    case CheckStateRule::kBoxFollowsChildren:
      return "box follows children";
    case CheckStateRule::kLoneBoxNeverPartial:
      return "lone box never partial";
  }
  return "unknown rule";
}

std::optional<CheckStateFault> FindCheckStateFault(const CheckTree& tree) {
  for (TreeItem item = tree.FirstTopLevelItem(); item;
       item = NextInPreorder(tree, item, nullptr, Descend::kInto)) {
    if (const std::optional<CheckStateRule> rule = BrokenRule(tree, item))
      return CheckStateFault{item, *rule};
  }
  return std::nullopt;
}

}  // namespace zx
