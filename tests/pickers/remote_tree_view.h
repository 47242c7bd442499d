#pragma once
// A tree-view control read and driven from outside the thread, or even the
// process, that owns it, as a person's tools would: every request is a
// message, and what a message points at lives in the owner's memory.
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/win_resources.h"

namespace zx::test {

class RemoteTreeView {
 public:
  explicit RemoteTreeView(HWND tree);
  ~RemoteTreeView();
  RemoteTreeView(const RemoteTreeView&) = delete;
  RemoteTreeView& operator=(const RemoteTreeView&) = delete;

  HWND Handle() const { return m_tree; }
  // False when the owner's memory could not be reached.
  bool IsUsable() const { return m_buffer != nullptr; }

  int Count() const;
  HTREEITEM Root() const { return Step(nullptr, TVGN_ROOT); }
  HTREEITEM Child(HTREEITEM item) const { return Step(item, TVGN_CHILD); }
  HTREEITEM Next(HTREEITEM item) const { return Step(item, TVGN_NEXT); }
  HTREEITEM Parent(HTREEITEM item) const { return Step(item, TVGN_PARENT); }
  HTREEITEM Caret() const { return Step(nullptr, TVGN_CARET); }

  std::wstring Text(HTREEITEM item) const;
  // The state image index (0 no box, 1 unchecked, 2 partial, 3 checked);
  // -1 when it cannot be read.
  int CheckIndex(HTREEITEM item) const;
  // The item's children count flag: whether it shows an expand button.
  bool HasExpandButton(HTREEITEM item) const;
  bool IsExpanded(HTREEITEM item) const;
  // Texts of the item's children in tree order.
  std::vector<std::wstring> ChildTexts(HTREEITEM parent) const;
  // The first child (of null: the top level) whose text matches.
  HTREEITEM FindChild(HTREEITEM parent,
                      const std::function<bool(const std::wstring&)>& match) const;
  HTREEITEM FindChildNamed(HTREEITEM parent, const std::wstring& text) const;

  // A client point on the wanted part of the item (TVHT_ONITEMSTATEICON,
  // TVHT_ONITEMBUTTON, TVHT_ONITEMLABEL); nothing while it is not in view.
  std::optional<POINT> PointOn(HTREEITEM item, UINT part) const;

  void Select(HTREEITEM item) const;
  void EnsureVisible(HTREEITEM item) const;

 private:
  LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) const;
  HTREEITEM Step(HTREEITEM item, UINT relation) const;
  // Copies bytes into the owner's buffer at offset and back.
  bool Put(const void* data, size_t size, size_t offset = 0) const;
  bool Get(void* data, size_t size, size_t offset = 0) const;
  LPARAM At(size_t offset = 0) const { return reinterpret_cast<LPARAM>(m_buffer + offset); }
  bool GetItem(TVITEMW& item) const;
  UINT HitFlags(POINT point) const;

  HWND m_tree;
  UniqueHandle m_process;
  char* m_buffer = nullptr;  // in the owner's address space
};

}  // namespace zx::test
