#include "tree_user.h"

#include "picker_windows.h"

namespace zx::test {
namespace {

constexpr wchar_t kComputerText[] = L"My Computer";

bool ClickPart(const RemoteTreeView& tree, HTREEITEM item, UINT part) {
  tree.EnsureVisible(item);
  const std::optional<POINT> point = tree.PointOn(item, part);
  if (!point) return false;
  ClickAt(tree.Handle(), *point);
  return true;
}

bool WaitForStateChange(const RemoteTreeView& tree, HTREEITEM item, int before) {
  return WaitUntil([&] { return tree.CheckIndex(item) != before; });
}

}  // namespace

HTREEITEM ComputerItem(const RemoteTreeView& tree) {
  return tree.FindChildNamed(nullptr, kComputerText);
}

HTREEITEM DriveItem(const RemoteTreeView& tree, wchar_t letter) {
  const HTREEITEM computer = ComputerItem(tree);
  if (!computer) return nullptr;
  const std::wstring drive = {letter, L':'};
  return tree.FindChild(
      computer, [&](const std::wstring& text) { return text.find(drive) != std::wstring::npos; });
}

bool WaitForChildren(const RemoteTreeView& tree, HTREEITEM item) {
  return WaitUntil([&] { return tree.Child(item) != nullptr; });
}

bool ExpandByClick(const RemoteTreeView& tree, HTREEITEM item) {
  if (tree.IsExpanded(item)) return true;
  return ClickPart(tree, item, TVHT_ONITEMBUTTON) &&
         WaitUntil([&] { return tree.IsExpanded(item) || !tree.HasExpandButton(item); });
}

HTREEITEM OpenPath(const RemoteTreeView& tree, HTREEITEM from,
                   const std::vector<std::wstring>& names) {
  HTREEITEM item = from ? from : tree.Root();
  for (const std::wstring& name : names) {
    if (!item || !ExpandByClick(tree, item)) return nullptr;
    // Drives show as "label (C:)".
    item = tree.FindChild(item, [&](const std::wstring& text) {
      return text == name || text.find(L"(" + name + L")") != std::wstring::npos;
    });
  }
  return item;
}

HTREEITEM OpenScanFolder(const RemoteTreeView& tree, const std::vector<std::wstring>& names) {
  HTREEITEM drive = nullptr;
  if (!WaitUntil([&] { return (drive = DriveItem(tree, L'C')) != nullptr; })) return nullptr;
  return OpenPath(tree, drive, names);
}

bool ClickCheckBox(const RemoteTreeView& tree, HTREEITEM item) {
  const int before = tree.CheckIndex(item);
  return ClickPart(tree, item, TVHT_ONITEMSTATEICON) && WaitForStateChange(tree, item, before);
}

bool ClickLabel(const RemoteTreeView& tree, HTREEITEM item) {
  const int before = tree.CheckIndex(item);
  return ClickPart(tree, item, TVHT_ONITEMLABEL) && WaitForStateChange(tree, item, before);
}

bool PressSpaceOn(const RemoteTreeView& tree, HTREEITEM item) {
  tree.Select(item);
  const int before = tree.CheckIndex(item);
  PressKey(tree.Handle(), VK_SPACE);
  return WaitForStateChange(tree, item, before);
}

}  // namespace zx::test
