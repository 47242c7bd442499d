#pragma once
// ShellCheckTree: the scan-path dialog's tree-view control turned into a
// browser of the shell namespace with a check box on every location. The
// top level and the first top-level item's children are filled by the
// dialog's fill thread; every other level is filled on its first expansion.
// Clicks and the space bar change check states by the rules of
// check_state_model.h.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <atomic>

#include "pickers/shell_resources.h"
#include "pickers/kept_shell_folders.h"
#include "ui/window_object.h"

namespace zx {

class ShellCheckTree : public WindowObject {
 public:
  // Subclasses the dialog's tree control for this showing; its notifications
  // come back reflected by the dialog. On the thread that owns the control.
  BOOL Attach(HWND tree);
  // Lists files beside folders and stops hiding zip folders, from the next
  // fill on. Never switched off again.
  void ShowFiles() { m_showFiles = true; }

  // The initial fill, on the fill thread. It reaches the control only
  // through sent messages.
  void Fill() noexcept;
  // Makes a fill stop after the item it is at; set when the dialog ends.
  void StopFilling() { m_stopFilling = true; }

 protected:
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  // Filling (shell_check_tree_fill.cpp).
  void FillTopLevel();
  void PrepareImageLists(PCIDLIST_ABSOLUTE desktop);
  HRESULT FillChildren(IShellFolder* folder, PCIDLIST_ABSOLUTE folderId, HTREEITEM parent);
  void AddChild(IShellFolder* folder, PCIDLIST_ABSOLUTE folderId, PCUITEMID_CHILD child,
                HTREEITEM parent);
  HTREEITEM InsertChild(IShellFolder* folder, PCIDLIST_ABSOLUTE folderId, PCUITEMID_CHILD child,
                        HTREEITEM parent, bool expandButton);
  bool HasChildren(HTREEITEM item) const;
  void ClearExpandButton(HTREEITEM item) const;

  // Messages (shell_check_tree.cpp).
  bool Route(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  void OnLButtonDown(LPARAM lParam);
  void OnSpaceBar();
  bool OnReflectedNotify(const NMHDR& header, LRESULT& result);
  LRESULT OnItemExpanding(const NMTREEVIEWW& notice);
  void OnDeleteItem(const NMTREEVIEWW& notice);
  void SortChildren(HTREEITEM parent) const;

  UINT m_lastHitFlags = 0;
  bool m_showFiles = false;
  UniqueImageList m_stateImages;
  KeptShellFolders m_keptFolders;
  // Written by whichever thread inserts the computer folder, read by both.
  std::atomic<HTREEITEM> m_computerItem{nullptr};
  std::atomic<bool> m_stopFilling{false};
};

}  // namespace zx
