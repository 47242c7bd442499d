#pragma once
// What a group of items amounts to. An item without a box holds no state of
// its own: it passes on whatever the boxed items below it agree on.
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

}  // namespace zx
