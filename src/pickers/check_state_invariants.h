#pragma once
// The rules every tree satisfies between check changes, for tests and
// fuzzing: the check operations must never leave a tree that breaks one.
#include <optional>

#include "pickers/check_tree.h"

namespace zx {

enum class CheckStateRule {
  StateReadable,          // every item has a check state
  BoxFollowsEligibility,  // an item has a box exactly when its path allows one
  BoxFollowsChildren,     // a boxed item holds what the boxed items below it agree on
  LoneBoxNeverPartial,    // a boxed item with no boxed item below is not partial
};

const char* CheckStateRuleName(CheckStateRule rule);

struct CheckStateFault {
  TreeItem item;
  CheckStateRule rule;
};

// The first item, in pre-order, that breaks a rule; nothing for a sound tree.
std::optional<CheckStateFault> FindCheckStateFault(const CheckTree& tree);

}  // namespace zx
