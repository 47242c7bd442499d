#pragma once
// The check-box rules' view of a real tree-view control: every step, read
// and write is a TVM_ message, so the fill thread can use it as well as the
// thread that owns the control. Item data must be ShellItemData.
#include <windows.h>
#include <commctrl.h>

#include "pickers/check_tree.h"

namespace zx {

// The notice the tree sends its parent after every accepted state write:
// wParam the item, lParam the state index.
inline constexpr UINT kCheckStateChanged = WM_USER + 103;

class TreeViewCheckTree final : public CheckTree {
 public:
  explicit TreeViewCheckTree(HWND tree) : m_tree(tree) {}

  TreeItem FirstTopLevelItem() const override;
  TreeItem FirstChild(TreeItem item) const override;
  TreeItem NextSibling(TreeItem item) const override;
  TreeItem Parent(TreeItem item) const override;
  std::u16string StoredPath(TreeItem item) const override;
  std::optional<CheckState> ReadState(TreeItem item) const override;
  bool WriteState(TreeItem item, CheckState state) override;
  void StateWritten(TreeItem item, CheckState state) override;

 private:
  TreeItem Step(TreeItem item, UINT relation) const;

  HWND m_tree;
};

inline HTREEITEM AsTreeItem(TreeItem item) { return static_cast<HTREEITEM>(item); }

}  // namespace zx
