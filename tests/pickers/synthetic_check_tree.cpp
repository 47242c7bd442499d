#include "synthetic_check_tree.h"

#include <algorithm>

#include "pickers/check_state.h"

namespace zx {

TreeItem SyntheticCheckTree::Insert(TreeItem parent, std::u16string storedPath) {
  m_nodes.push_back(std::make_unique<Node>(Node{NodeOf(parent), {}, std::move(storedPath)}));
  (parent ? NodeOf(parent)->children : m_topLevel).push_back(m_nodes.back().get());
  ApplyInitialCheck(*this, m_nodes.back().get());
  return m_nodes.back().get();
}

std::vector<TreeItem> SyntheticCheckTree::Items() const {
  std::vector<TreeItem> items;
  for (const auto& node : m_nodes) items.push_back(node.get());
  return items;
}

TreeItem SyntheticCheckTree::NextSibling(TreeItem item) const {
  const std::vector<Node*>& siblings = Parent(item) ? NodeOf(Parent(item))->children : m_topLevel;
  const auto next = std::find(siblings.begin(), siblings.end(), item) + 1;
  return next == siblings.end() ? nullptr : *next;
}

bool SyntheticCheckTree::WriteState(TreeItem item, CheckState state) {
  if (NodeOf(item)->refusesWrites) return false;
  NodeOf(item)->state = state;
  return true;
}

}  // namespace zx
