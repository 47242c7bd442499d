#include "pickers/tree_view_check_tree.h"

#include "pickers/shell_item_data.h"

namespace zx {
namespace {

constexpr UINT kStateImageMask = TVIS_STATEIMAGEMASK;
constexpr int kStateImageShift = 12;

}  // namespace

TreeItem TreeViewCheckTree::Step(TreeItem item, UINT relation) const {
  return reinterpret_cast<TreeItem>(
      SendMessageW(m_tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

TreeItem TreeViewCheckTree::FirstTopLevelItem() const { return Step(nullptr, TVGN_ROOT); }
TreeItem TreeViewCheckTree::FirstChild(TreeItem item) const { return Step(item, TVGN_CHILD); }
TreeItem TreeViewCheckTree::NextSibling(TreeItem item) const { return Step(item, TVGN_NEXT); }
TreeItem TreeViewCheckTree::Parent(TreeItem item) const { return Step(item, TVGN_PARENT); }

std::u16string TreeViewCheckTree::StoredPath(TreeItem item) const {
  TVITEMW request{};
  request.mask = TVIF_HANDLE | TVIF_PARAM;
  request.hItem = AsTreeItem(item);
  if (!SendMessageW(m_tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&request))) return {};
  const auto* data = reinterpret_cast<const ShellItemData*>(request.lParam);
  return data ? data->storedPath : std::u16string();
}

std::optional<CheckState> TreeViewCheckTree::ReadState(TreeItem item) const {
  TVITEMW request{};
  request.mask = TVIF_HANDLE | TVIF_STATE;
  request.hItem = AsTreeItem(item);
  request.stateMask = kStateImageMask;
  if (!SendMessageW(m_tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&request))) {
    return std::nullopt;
  }
  return CheckStateFromIndex((request.state & kStateImageMask) >> kStateImageShift);
}

bool TreeViewCheckTree::WriteState(TreeItem item, CheckState state) {
  TVITEMW request{};
  request.mask = TVIF_HANDLE | TVIF_STATE;
  request.hItem = AsTreeItem(item);
  request.state = static_cast<UINT>(state) << kStateImageShift;
  request.stateMask = kStateImageMask;
  return SendMessageW(m_tree, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&request)) != 0;
}

void TreeViewCheckTree::StateWritten(TreeItem item, CheckState state) {
  if (const HWND parent = GetParent(m_tree)) {
    SendMessageW(parent, kCheckStateChanged, reinterpret_cast<WPARAM>(item),
                 static_cast<LPARAM>(state));
  }
}

}  // namespace zx
