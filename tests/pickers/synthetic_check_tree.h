#pragma once
// An in-memory CheckTree standing in for the tree-view control: items keep
// their insertion order, every accepted write is recorded as the notice the
// parent window would get, and single items can be made to refuse writes or
// to fail reads.
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "pickers/check_tree.h"

namespace zx {

class SyntheticCheckTree final : public CheckTree {
 public:
  struct Notice {
    TreeItem item;
    CheckState state;
  };

  // Appends an item below parent (null: on the top level) and gives it its
  // first state, as the shell tree does.
  TreeItem Insert(TreeItem parent, std::u16string storedPath);
  void RefuseWrites(TreeItem item) { NodeOf(item)->refusesWrites = true; }
  void FailReads(TreeItem item) { NodeOf(item)->failsReads = true; }
  // The recorded state, whatever reads answer.
  CheckState StateOf(TreeItem item) const { return NodeOf(item)->state; }
  std::vector<Notice> TakeNotices() { return std::exchange(m_notices, {}); }
  std::vector<TreeItem> Items() const;  // in insertion order

  TreeItem FirstTopLevelItem() const override { return FirstOf(m_topLevel); }
  TreeItem FirstChild(TreeItem item) const override { return FirstOf(NodeOf(item)->children); }
  TreeItem NextSibling(TreeItem item) const override;
  TreeItem Parent(TreeItem item) const override { return NodeOf(item)->parent; }
  std::u16string StoredPath(TreeItem item) const override { return NodeOf(item)->storedPath; }
  std::optional<CheckState> ReadState(TreeItem item) const override {
    return NodeOf(item)->failsReads ? std::nullopt : std::optional(NodeOf(item)->state);
  }
  bool WriteState(TreeItem item, CheckState state) override;
  void StateWritten(TreeItem item, CheckState state) override {
    m_notices.push_back({item, state});
  }

 private:
  struct Node {
    Node* parent;
    std::vector<Node*> children;
    std::u16string storedPath;
    CheckState state = CheckState::kNoBox;
    bool refusesWrites = false;
    bool failsReads = false;
  };
  static Node* NodeOf(TreeItem item) { return static_cast<Node*>(item); }
  static TreeItem FirstOf(const std::vector<Node*>& nodes) {
    return nodes.empty() ? nullptr : nodes.front();
  }

  std::vector<std::unique_ptr<Node>> m_nodes;
  std::vector<Node*> m_topLevel;
  std::vector<Notice> m_notices;
};

}  // namespace zx
