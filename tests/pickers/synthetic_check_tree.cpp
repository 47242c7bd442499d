#include "synthetic_check_tree.h"

#include <algorithm>
#include <utility>

#include "pickers/check_state.h"

namespace zx {

void PrintTo(CheckState state, std::ostream* out) {
  static const char* const kNames[] = {"NoBox", "Unchecked", "Partial", "Checked"};
  *out << kNames[static_cast<int>(state)];
}

void PrintTo(const StateNotice& notice, std::ostream* out) {
  *out << "{" << notice.item << ", ";
  PrintTo(notice.state, out);
  *out << "}";
}

TreeItem SyntheticCheckTree::Add(TreeItem parent, std::u16string storedPath) {
  auto node = std::make_unique<Node>();
  node->parent = NodeOf(parent);
  node->storedPath = std::move(storedPath);
  (parent ? NodeOf(parent)->children : m_topLevel).push_back(node.get());
  m_nodes.push_back(std::move(node));
  return m_nodes.back().get();
}

TreeItem SyntheticCheckTree::Insert(TreeItem parent, std::u16string storedPath) {
  const TreeItem item = Add(parent, std::move(storedPath));
  ApplyInitialCheck(*this, item);
  return item;
}

void SyntheticCheckTree::RefuseWrites(TreeItem item) { NodeOf(item)->refusesWrites = true; }
void SyntheticCheckTree::FailReads(TreeItem item) { NodeOf(item)->failsReads = true; }

CheckState SyntheticCheckTree::StateOf(TreeItem item) const { return NodeOf(item)->state; }

std::vector<StateNotice> SyntheticCheckTree::TakeNotices() { return std::exchange(m_notices, {}); }

std::vector<TreeItem> SyntheticCheckTree::Items() const {
  std::vector<TreeItem> items;
  for (const auto& node : m_nodes) items.push_back(node.get());
  return items;
}

TreeItem SyntheticCheckTree::FirstTopLevelItem() const {
  return m_topLevel.empty() ? nullptr : m_topLevel.front();
}

TreeItem SyntheticCheckTree::FirstChild(TreeItem item) const {
  const std::vector<Node*>& children = NodeOf(item)->children;
  return children.empty() ? nullptr : children.front();
}

const std::vector<SyntheticCheckTree::Node*>& SyntheticCheckTree::SiblingsOf(
    const Node* node) const {
  return node->parent ? node->parent->children : m_topLevel;
}

TreeItem SyntheticCheckTree::NextSibling(TreeItem item) const {
  const std::vector<Node*>& siblings = SiblingsOf(NodeOf(item));
  const auto next = std::find(siblings.begin(), siblings.end(), NodeOf(item)) + 1;
  return next == siblings.end() ? nullptr : *next;
}

TreeItem SyntheticCheckTree::Parent(TreeItem item) const { return NodeOf(item)->parent; }

std::u16string SyntheticCheckTree::StoredPath(TreeItem item) const {
  return NodeOf(item)->storedPath;
}

std::optional<CheckState> SyntheticCheckTree::ReadState(TreeItem item) const {
  if (NodeOf(item)->failsReads) return std::nullopt;
  return NodeOf(item)->state;
}

bool SyntheticCheckTree::WriteState(TreeItem item, CheckState state) {
  if (NodeOf(item)->refusesWrites) return false;
  NodeOf(item)->state = state;
  return true;
}

void SyntheticCheckTree::StateWritten(TreeItem item, CheckState state) {
  m_notices.push_back({item, state});
}

}  // namespace zx
