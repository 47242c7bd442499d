#pragma once
// What a person does in the pickers' trees, finding items by the texts they
// show: open levels, click boxes and labels, press the space bar.
#include <windows.h>

#include <string>
#include <vector>

#include "remote_tree_view.h"

namespace zx::test {

// The computer folder's item on the top level; null if it is not there.
HTREEITEM ComputerItem(const RemoteTreeView& tree);
// The drive's item below the computer item.
HTREEITEM DriveItem(const RemoteTreeView& tree, wchar_t letter);
// Waits until the item's children are listed (the fill runs meanwhile).
bool WaitForChildren(const RemoteTreeView& tree, HTREEITEM item);

// Clicks the item's expand button and waits for its children; true at once
// when it is open already.
bool ExpandByClick(const RemoteTreeView& tree, HTREEITEM item);
// From `from` (null: the top level's first item) down the items named, a
// drive by its letter and colon ("C:"), opening each level on the way; the
// last item, or null.
HTREEITEM OpenPath(const RemoteTreeView& tree, HTREEITEM from,
                   const std::vector<std::wstring>& names);
// OpenPath from the scan-path tree's C:\ item once the fill listed it.
HTREEITEM OpenScanFolder(const RemoteTreeView& tree, const std::vector<std::wstring>& names);
// Clicks the item's check box and waits until its state changed.
bool ClickCheckBox(const RemoteTreeView& tree, HTREEITEM item);
// Clicks the item's text (which toggles its box as well as selecting it).
bool ClickLabel(const RemoteTreeView& tree, HTREEITEM item);
// Selects the item, presses the space bar on it and waits for its box to change.
bool PressSpaceOn(const RemoteTreeView& tree, HTREEITEM item);

}  // namespace zx::test
