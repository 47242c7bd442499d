#pragma once
// Turning the check boxes into what the page gets: the locations to scan and
// the result text that lists them.
#include <string>
#include <vector>

#include "pickers/check_tree.h"

namespace zx {

// The paths of the checked locations in tree order, each fully checked
// subtree named once by its topmost checked item. A checked item whose path
// names no location (the computer folder) stands for its checked children
// that do. The same location checked at two places is listed twice. Empty
// when nothing is checked.
std::vector<std::u16string> CollectCheckedPaths(const CheckTree& tree);

// Empty when there are no paths: the dialog then reports nothing chosen.
std::u16string BuildResultText(const std::vector<std::u16string>& paths);

}  // namespace zx
