#include "pickers/browse_for_folder.h"

#include <shlobj.h>

#include "common/win_resources.h"
#include "pickers/shell_resources.h"

namespace zx {
namespace {

// Edit box, resizable new-style dialog, no new-folder button, files listed.
constexpr UINT kBrowseFlags =
    BIF_EDITBOX | BIF_NEWDIALOGSTYLE | BIF_NONEWFOLDERBUTTON | BIF_BROWSEINCLUDEFILES;
// The longest path, in characters with its terminator, that the system's
// file functions take.
constexpr UINT kLongestPath = 32767;

}  // namespace

HRESULT BrowseForFolder(HWND owner, BSTR prompt, BSTR* path) {
  BROWSEINFOW browse{};
  browse.hwndOwner = owner;
  browse.lpszTitle = prompt;
  browse.ulFlags = kBrowseFlags;
  const UniquePidl picked(SHBrowseForFolderW(&browse));
  *path = nullptr;
  if (!picked) return S_OK;
  return FileSystemPathOf(picked.Get(), path);
}

// Read into a buffer for the longest path the system handles: with one of
// MAX_PATH a longer path came back empty, as if the item had none.
HRESULT FileSystemPathOf(PCIDLIST_ABSOLUTE item, BSTR* path) {
  UniqueBstr buffer(SysAllocStringLen(nullptr, kLongestPath));
  if (!buffer) return E_OUTOFMEMORY;
  // A virtual item has no path and leaves the buffer empty.
  buffer.Get()[0] = L'\0';
  SHGetPathFromIDListEx(item, buffer.Get(), kLongestPath, GPFIDL_DEFAULT);
  return CopyToOutBstr(buffer.Get(), path);
}

}  // namespace zx
