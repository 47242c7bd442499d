#pragma once
// An in-memory CheckTree standing in for the tree-view control: items keep
// their insertion order, every accepted write is recorded as the notice the
// parent window would get, and single items can be made to refuse writes or
// to fail reads.
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "pickers/check_tree.h"

namespace zx {

struct StateNotice {
  TreeItem item;
  CheckState state;
  bool operator==(const StateNotice& other) const {
    return item == other.item && state == other.state;
  }
};

void PrintTo(CheckState state, std::ostream* out);
void PrintTo(const StateNotice& notice, std::ostream* out);

class SyntheticCheckTree final : public CheckTree {
 public:
  // Appends an item below `parent` (null: top level) without a box, as the
  // control inserts it.
  TreeItem Add(TreeItem parent, std::u16string storedPath);
  // Appends an item and gives it its first state, as the shell tree does.
  TreeItem Insert(TreeItem parent, std::u16string storedPath);

  void RefuseWrites(TreeItem item);
  void FailReads(TreeItem item);

  // The recorded state, whatever reads would answer.
  CheckState StateOf(TreeItem item) const;
  std::vector<StateNotice> TakeNotices();
  std::vector<TreeItem> Items() const;  // in insertion order

  TreeItem FirstTopLevelItem() const override;
  TreeItem FirstChild(TreeItem item) const override;
  TreeItem NextSibling(TreeItem item) const override;
  TreeItem Parent(TreeItem item) const override;
  std::u16string StoredPath(TreeItem item) const override;
  std::optional<CheckState> ReadState(TreeItem item) const override;
  bool WriteState(TreeItem item, CheckState state) override;
  void StateWritten(TreeItem item, CheckState state) override;

 private:
  struct Node {
    Node* parent = nullptr;
    std::vector<Node*> children;
    std::u16string storedPath;
    CheckState state = CheckState::kNoBox;
    bool refusesWrites = false;
    bool failsReads = false;
  };

  static Node* NodeOf(TreeItem item) { return static_cast<Node*>(item); }
  const std::vector<Node*>& SiblingsOf(const Node* node) const;

  std::vector<std::unique_ptr<Node>> m_nodes;
  std::vector<Node*> m_topLevel;
  std::vector<StateNotice> m_notices;
};

}  // namespace zx
