#include "pickers/check_tree.h"

namespace zx {

TreeItem NextInPreorder(const CheckTree& tree, TreeItem item, TreeItem top, Descend descend) {
  if (descend == Descend::kInto) {
    if (TreeItem child = tree.FirstChild(item)) return child;
  }
  for (; item && item != top; item = tree.Parent(item)) {
    if (TreeItem next = tree.NextSibling(item)) return next;
  }
  return nullptr;
}

}  // namespace zx
