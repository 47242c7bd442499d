// Filling levels of the scan-path tree from the shell namespace, on the fill
// thread (the top level) and on the control's thread (expansions).
#include <wrl/client.h>

#include <memory>
#include <new>

#include "fsredirect/wow64_redirection_guard.h"
#include "pickers/check_state.h"
#include "pickers/check_state_paths.h"
#include "pickers/shell_check_tree.h"
#include "pickers/shell_item_data.h"
#include "pickers/shell_item_names.h"
#include "pickers/shell_item_rules.h"
#include "pickers/tree_view_check_tree.h"
#include "res/resource_ids.h"
#include "ui/module_state.h"

namespace zx {
namespace {

using Microsoft::WRL::ComPtr;

constexpr SHCONTF kEnumFlags =
    SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN | SHCONTF_INIT_ON_FIRST_NEXT;
constexpr SFGAOF kListingAttributes = SFGAO_HASSUBFOLDER | SFGAO_FILESYSTEM | SFGAO_FOLDER;
constexpr int kCheckBoxWidth = 16;
constexpr COLORREF kCheckBoxMask = RGB(255, 0, 255);

}  // namespace

void ShellCheckTree::Fill() noexcept {
  try {
    FillTopLevel();
  } catch (const std::bad_alloc&) {
    // Out of memory: the items inserted so far stay.
  }
}

void ShellCheckTree::FillTopLevel() {
  const HWND tree = Handle();
  UniquePidl desktopId;
  if (FAILED(SHGetSpecialFolderLocation(tree, CSIDL_DESKTOP, desktopId.Put()))) return;
  m_keptFolders.Gather(tree);
  PrepareImageLists(desktopId.Get());
  ComPtr<IShellFolder> desktop;
  if (FAILED(SHGetDesktopFolder(&desktop))) return;
  const WaitCursor cursor;
  FillChildren(desktop.Get(), desktopId.Get(), TVI_ROOT);
  if (m_stopFilling) return;
  // Its children are filled by the expansion, on the control's thread.
  if (const auto first = SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0)) {
    SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, first);
  }
}

void ShellCheckTree::PrepareImageLists(PCIDLIST_ABSOLUTE desktop) {
  // The previous showing's control, which used the old list, is gone.
  m_stateImages.Reset(ImageList_LoadImageW(ResourceInstance(), MAKEINTRESOURCEW(IDB_CHECK_BOXES),
                                           kCheckBoxWidth, 1, kCheckBoxMask, IMAGE_BITMAP, 0));
  SendMessageW(Handle(), TVM_SETIMAGELIST, TVSIL_STATE,
               reinterpret_cast<LPARAM>(m_stateImages.Get()));
  SendMessageW(Handle(), TVM_SETIMAGELIST, TVSIL_NORMAL,
               reinterpret_cast<LPARAM>(SystemSmallImageList(desktop)));
}

HRESULT ShellCheckTree::FillChildren(IShellFolder* folder, PCIDLIST_ABSOLUTE folderId,
                                     HTREEITEM parent) {
  if (!folder) return E_POINTER;
  ComPtr<IEnumIDList> children;
  // Declared after the enumerator: redirection is back on before it goes.
  const Wow64RedirectionGuard guard;
  const HRESULT hr = folder->EnumObjects(Handle(), kEnumFlags, &children);
  if (FAILED(hr)) return hr;
  const WaitCursor cursor;
  ITEMIDLIST* next = nullptr;
  // The stop flag is tested between items: a closing dialog waits for one item at most.
  while (children && !m_stopFilling && children->Next(1, &next, nullptr) == S_OK) {
    const UniquePidl child(next);
    AddChild(folder, folderId, child.Get(), parent);
  }
  if (parent != TVI_ROOT && !HasChildren(parent)) ClearExpandButton(parent);
  return hr;
}

void ShellCheckTree::AddChild(IShellFolder* folder, PCIDLIST_ABSOLUTE folderId,
                              PCUITEMID_CHILD child, HTREEITEM parent) {
  SFGAOF attributes = kListingAttributes;
  if (FAILED(folder->GetAttributesOf(1, &child, &attributes))) return;
  ShellChildTraits traits{};
  traits.fileSystem = (attributes & SFGAO_FILESYSTEM) != 0;
  traits.folder = (attributes & SFGAO_FOLDER) != 0;
  traits.hasSubfolder = (attributes & SFGAO_HASSUBFOLDER) != 0;
  traits.keptFolder = !traits.fileSystem && m_keptFolders.Contains(child);
  const ChildListing listing = ListingOf(traits, m_showFiles);
  if (!listing.listed) return;
  if (const HTREEITEM item = InsertChild(folder, folderId, child, parent, listing.expandButton)) {
    TreeViewCheckTree view(Handle());
    ApplyInitialCheck(view, item);
  }
}

HTREEITEM ShellCheckTree::InsertChild(IShellFolder* folder, PCIDLIST_ABSOLUTE folderId,
                                      PCUITEMID_CHILD child, HTREEITEM parent, bool expandButton) {
  const std::optional<std::u16string> parsingName = DisplayNameOf(folder, child, SHGDN_FORPARSING);
  if (!parsingName || !IsNameListed(*parsingName, m_showFiles)) return nullptr;
  auto data = std::make_unique<ShellItemData>();
  data->child.Reset(ILCloneFirst(child));
  data->absolute.Reset(ILCombine(folderId, child));
  if (!data->child || !data->absolute) return nullptr;
  data->storedPath = StoredPathFor(*parsingName, parent == m_computerItem.load());
  const std::u16string text = DisplayNameOf(folder, child, SHGDN_NORMAL).value_or(*parsingName);

  TVINSERTSTRUCTW insert{};
  insert.hParent = parent;
  insert.hInsertAfter = TVI_LAST;
  TVITEMW& item = insert.item;
  item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | TVIF_STATE |
              (expandButton ? TVIF_CHILDREN : 0);
  item.pszText = const_cast<wchar_t*>(reinterpret_cast<const wchar_t*>(text.c_str()));
  item.iImage = SmallIconIndexOf(data->absolute.Get(), false);
  item.iSelectedImage = SmallIconIndexOf(data->absolute.Get(), true);
  item.stateMask = TVIS_STATEIMAGEMASK;
  item.cChildren = 1;
  item.lParam = reinterpret_cast<LPARAM>(data.get());
  const auto inserted = reinterpret_cast<HTREEITEM>(
      SendMessageW(Handle(), TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
  if (!inserted) return nullptr;
  data.release();  // the item owns it now; TVN_DELETEITEM frees it
  HTREEITEM none = nullptr;
  if (IsComputerFolderPath(*parsingName)) m_computerItem.compare_exchange_strong(none, inserted);
  return inserted;
}

bool ShellCheckTree::HasChildren(HTREEITEM item) const {
  return SendMessageW(Handle(), TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(item)) != 0;
}

void ShellCheckTree::ClearExpandButton(HTREEITEM item) const {
  TVITEMW request{};
  request.mask = TVIF_HANDLE | TVIF_CHILDREN;
  request.hItem = item;
  request.cChildren = 0;
  SendMessageW(Handle(), TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&request));
}

}  // namespace zx
