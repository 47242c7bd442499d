#pragma once
// The check-box rules of the scan-path tree: which items carry a box, and how
// one change spreads to the items below and above it.
#include "pickers/check_tree.h"

namespace zx {

enum class CheckSpread { UpOnly, DownAndUp };

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

}  // namespace zx
