#include "pickers/check_state_collect.h"

#include "pickers/check_state_paths.h"
#include "pickers/check_tree_walk.h"

namespace zx {
namespace {

std::u16string PathOf(const CheckTree& tree, TreeItem item) {
  return std::u16string(PathOfStoredPath(tree.StoredPath(item)));
}

// Only direct children: the computer folder's drives, not what lies on them.
void AppendCheckedChildren(const CheckTree& tree, TreeItem parent,
                           std::vector<std::u16string>& paths) {
  for (TreeItem child = tree.FirstChild(parent); child; child = tree.NextSibling(child)) {
    if (tree.ReadState(child) != CheckState::Checked) continue;
    std::u16string path = PathOf(tree, child);
    if (NamesLocation(path)) paths.push_back(std::move(path));
  }
}

void AppendCheckedItem(const CheckTree& tree, TreeItem item, std::vector<std::u16string>& paths) {
  std::u16string path = PathOf(tree, item);
  if (NamesLocation(path)) {
    paths.push_back(std::move(path));
  } else {
    AppendCheckedChildren(tree, item, paths);
  }
}

// Partial items hold checked items somewhere below; box-less ones may, since
// they only pass on the states below them. Unchecked (or unreadable) items
// hold none.
Descend DescendFor(const std::optional<CheckState>& state) {
  return (state == CheckState::Partial || state == CheckState::NoBox) ? Descend::Into
                                                                         : Descend::Past;
}

}  // namespace

std::vector<std::u16string> CollectCheckedPaths(const CheckTree& tree) {
  std::vector<std::u16string> paths;
  for (TreeItem item = tree.FirstTopLevelItem(); item;) {
    const std::optional<CheckState> state = tree.ReadState(item);
    if (state == CheckState::Checked) AppendCheckedItem(tree, item, paths);
    item = NextInPreorder(tree, item, nullptr, DescendFor(state));
  }
  return paths;
}

}  // namespace zx
