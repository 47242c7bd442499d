#include "pickers/check_state_model.h"

#include "pickers/check_state_agreement.h"
#include "pickers/check_state_paths.h"
#include "pickers/check_tree_walk.h"

namespace zx {
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
       item = NextInPreorder(tree, item, top, Descend::Into)) {
    const CheckState wanted = IsEligible(tree, item) ? state : CheckState::NoBox;
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

bool HasBox(const std::optional<CheckState>& state) { return state && *state != CheckState::NoBox; }

void MarkAncestorsPartial(CheckTree& tree, TreeItem item) {
  for (TreeItem ancestor = tree.Parent(item); ancestor; ancestor = tree.Parent(ancestor)) {
    if (HasBox(tree.ReadState(ancestor))) WriteAndNotify(tree, ancestor, CheckState::Partial);
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
  return state == CheckState::Checked ? CheckState::Unchecked : CheckState::Checked;
}

// A box-less item holds no state of its own, so a new item below one follows
// the nearest ancestor that has a box.
std::optional<CheckState> NearestBoxedAncestorState(const CheckTree& tree, TreeItem item) {
  for (TreeItem ancestor = tree.Parent(item); ancestor; ancestor = tree.Parent(ancestor)) {
    const std::optional<CheckState> state = tree.ReadState(ancestor);
    if (state != CheckState::NoBox) return state;
  }
  return std::nullopt;
}

}  // namespace

bool SetCheck(CheckTree& tree, TreeItem item, CheckState state, CheckSpread spread) {
  if (!IsEligible(tree, item)) state = CheckState::NoBox;
  if (!tree.WriteState(item, state)) return false;
  if (state != CheckState::NoBox) {
    if (spread == CheckSpread::DownAndUp) SpreadDown(tree, item, state);
    SpreadUp(tree, item, state);
  }
  tree.StateWritten(item, state);
  return true;
}

bool ToggleCheck(CheckTree& tree, TreeItem item) {
  const std::optional<CheckState> current = tree.ReadState(item);
  return current && SetCheck(tree, item, Toggled(*current), CheckSpread::DownAndUp);
}

bool ToggleBoxedCheck(CheckTree& tree, TreeItem item) {
  return HasBox(tree.ReadState(item)) && ToggleCheck(tree, item);
}

bool ApplyInitialCheck(CheckTree& tree, TreeItem item) {
  const bool belowChecked = NearestBoxedAncestorState(tree, item) == CheckState::Checked;
  return SetCheck(tree, item, belowChecked ? CheckState::Checked : CheckState::Unchecked,
                  CheckSpread::UpOnly);
}

}  // namespace zx
