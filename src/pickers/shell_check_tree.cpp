#include "pickers/shell_check_tree.h"

#include <windowsx.h>
#include <wrl/client.h>

#include <new>

#include "pickers/check_state.h"
#include "pickers/shell_item_data.h"
#include "pickers/shell_item_rules.h"
#include "pickers/tree_view_check_tree.h"
#include "ui/notification_reflection.h"

namespace zx {
namespace {

using Microsoft::WRL::ComPtr;

// A click on any of these parts of an item toggles its box.
constexpr UINT kToggleHits = TVHT_ONITEMICON | TVHT_ONITEMLABEL | TVHT_ONITEMSTATEICON;

const ShellItemData* DataOf(LPARAM lParam) {
  return reinterpret_cast<const ShellItemData*>(lParam);
}

int CALLBACK CompareItems(LPARAM first, LPARAM second, LPARAM) {
  const ShellItemData* a = DataOf(first);
  const ShellItemData* b = DataOf(second);
  return CompareStoredPaths(a ? a->storedPath : std::u16string_view(),
                            b ? b->storedPath : std::u16string_view());
}

}  // namespace

BOOL ShellCheckTree::Attach(HWND tree) {
  m_stopFilling = false;
  m_lastHitFlags = 0;
  m_computerItem = nullptr;
  return Subclass(tree);
}

bool ShellCheckTree::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  try {
    return Route(message, wParam, lParam, result);
  } catch (const std::bad_alloc&) {
    // Out of memory in a fill or a check change: what was done stays.
    result = 0;
    return true;
  }
}

bool ShellCheckTree::Route(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_LBUTTONDOWN:
      OnLButtonDown(lParam);
      return false;  // the control still selects the item
    case WM_KEYDOWN:
      if (wParam != VK_SPACE) return false;
      OnSpaceBar();
      result = 0;
      return true;
    case kReflectedNotify:
      return OnReflectedNotify(*reinterpret_cast<const NMHDR*>(lParam), result);
    default:
      return false;
  }
}

void ShellCheckTree::OnLButtonDown(LPARAM lParam) {
  TVHITTESTINFO hit{};
  hit.pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  const auto item = reinterpret_cast<HTREEITEM>(
      SendMessageW(Handle(), TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  m_lastHitFlags = hit.flags;
  if (item && (hit.flags & kToggleHits)) {
    TreeViewCheckTree view(Handle());
    ToggleCheck(view, item);
  }
}

void ShellCheckTree::OnSpaceBar() {
  const auto caret =
      reinterpret_cast<HTREEITEM>(SendMessageW(Handle(), TVM_GETNEXTITEM, TVGN_CARET, 0));
  if (!caret) return;
  TreeViewCheckTree view(Handle());
  ToggleBoxedCheck(view, caret);
}

bool ShellCheckTree::OnReflectedNotify(const NMHDR& header, LRESULT& result) {
  result = 0;
  switch (header.code) {
    case NM_CLICK:
      // A click on the box is the tree's own business, not the control's.
      if (!(m_lastHitFlags & TVHT_ONITEMSTATEICON)) return false;
      result = 1;
      return true;
    case TVN_KEYDOWN:
    case NM_RCLICK:
      return true;
    case TVN_ITEMEXPANDINGW:
    case TVN_ITEMEXPANDINGA:  // same layout up to the fields used
      result = OnItemExpanding(reinterpret_cast<const NMTREEVIEWW&>(header));
      return true;
    case TVN_DELETEITEMW:
    case TVN_DELETEITEMA:
      OnDeleteItem(reinterpret_cast<const NMTREEVIEWW&>(header));
      return true;
    default:
      return false;
  }
}

// Fills a level on its first expansion; non-zero keeps the item closed.
LRESULT ShellCheckTree::OnItemExpanding(const NMTREEVIEWW& notice) {
  const WaitCursor cursor;
  const HTREEITEM item = notice.itemNew.hItem;
  if (SendMessageW(Handle(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_EXPANDEDONCE) &
      TVIS_EXPANDEDONCE) {
    return 0;
  }
  TVITEMW request{};
  request.mask = TVIF_HANDLE | TVIF_PARAM;
  request.hItem = item;
  SendMessageW(Handle(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&request));
  const ShellItemData* data = DataOf(request.lParam);
  if (!data || !data->child || !data->absolute) return 0;
  ComPtr<IShellFolder> desktop;
  ComPtr<IShellFolder> folder;
  HRESULT hr = SHGetDesktopFolder(&desktop);
  if (SUCCEEDED(hr))
    hr = desktop->BindToObject(data->absolute.Get(), nullptr, IID_PPV_ARGS(&folder));
  if (FAILED(hr)) return hr;
  if (SUCCEEDED(FillChildren(folder.Get(), data->absolute.Get(), item))) SortChildren(item);
  return 0;
}

void ShellCheckTree::SortChildren(HTREEITEM parent) const {
  TVSORTCB sort{};
  sort.hParent = parent;
  sort.lpfnCompare = &CompareItems;
  SendMessageW(Handle(), TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&sort));
}

void ShellCheckTree::OnDeleteItem(const NMTREEVIEWW& notice) {
  delete DataOf(notice.itemOld.lParam);
  HTREEITEM computer = notice.itemOld.hItem;
  m_computerItem.compare_exchange_strong(computer, nullptr);
}

}  // namespace zx
