#pragma once
// The check-box rules of the scan-path tree: which items carry a box, how one
// change spreads to the items below and above it, what a group of items
// amounts to, and the rules every tree satisfies between changes (checked by
// the tests and the fuzzer).
#include <optional>

#include "pickers/check_tree.h"

namespace zx {

// The state an item stands for beside its siblings: its own when it has a
// box, else the agreement of its children. Nothing when neither gives one.
std::optional<CheckState> StandingState(const CheckTree& tree, TreeItem item);

// The common state of the children of `parent`, Partial when they differ or
// one of them is partial. Children that stand for nothing are left out;
// nothing when all are.
std::optional<CheckState> ChildrenAgreement(const CheckTree& tree, TreeItem parent);

enum class CheckSpread { kUpOnly, kDownAndUp };

// The one writer of an item's own state. An item that may not carry a box
// gets NoBox whatever is asked. Any other state then spreads down into the
// descendants inserted so far (with DownAndUp) and up through the ancestors,
// which become checked, unchecked or partial as their children agree. False,
// with nothing else changed, when the control refuses the state.
bool SetCheck(CheckTree& tree, TreeItem item, CheckState state, CheckSpread spread);

// A click on the item: checked becomes unchecked, any other state checked.
// False when the state cannot be read or written.
bool ToggleCheck(CheckTree& tree, TreeItem item);

// The space bar: like a click, but only on an item that has a box.
bool ToggleBoxedCheck(CheckTree& tree, TreeItem item);

// The first state of a newly inserted item: checked below a checked item,
// else unchecked. Its own descendants are not touched.
bool ApplyInitialCheck(CheckTree& tree, TreeItem item);

enum class CheckStateRule {
  kStateReadable,          // every item has a check state
  kBoxFollowsEligibility,  // an item has a box exactly when its path allows one
  kBoxFollowsChildren,     // a boxed item holds what the boxed items below it agree on
  kLoneBoxNeverPartial,    // a boxed item with no boxed item below is not partial
};

const char* CheckStateRuleName(CheckStateRule rule);

struct CheckStateFault {
  TreeItem item;
  CheckStateRule rule;
};

// The first item, in pre-order, that breaks a rule; nothing for a sound tree.
std::optional<CheckStateFault> FindCheckStateFault(const CheckTree& tree);

}  // namespace zx
