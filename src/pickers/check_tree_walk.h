#pragma once
// Pre-order stepping through a CheckTree without recursion, so deep trees
// cost no stack.
#include "pickers/check_tree.h"

namespace zx {

enum class Descend { Into, Past };

// The item after `item` in pre-order, staying inside the subtree of `top`
// (null: the whole tree). With Descend::Past the item's own children are
// passed over. Null when the walk is over.
TreeItem NextInPreorder(const CheckTree& tree, TreeItem item, TreeItem top, Descend descend);

}  // namespace zx
