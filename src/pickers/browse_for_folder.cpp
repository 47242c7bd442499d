#include "pickers/browse_for_folder.h"

#include <shlobj.h>

#include "pickers/shell_resources.h"

namespace zx {
namespace {

// Edit box, resizable new-style dialog, no new-folder button, files listed.
constexpr UINT kBrowseFlags =
    BIF_EDITBOX | BIF_NEWDIALOGSTYLE | BIF_NONEWFOLDERBUTTON | BIF_BROWSEINCLUDEFILES;

}  // namespace

HRESULT BrowseForFolder(HWND owner, BSTR prompt, BSTR* path) {
  BROWSEINFOW browse{};
  browse.hwndOwner = owner;
  browse.lpszTitle = prompt;
  browse.ulFlags = kBrowseFlags;
  const UniquePidl picked(SHBrowseForFolderW(&browse));
  *path = nullptr;
  if (!picked) return S_OK;
  // A virtual item has no path and leaves the buffer empty.
  wchar_t buffer[MAX_PATH] = {};
  SHGetPathFromIDListW(picked.Get(), buffer);
  *path = SysAllocString(buffer);
  return *path ? S_OK : E_OUTOFMEMORY;
}

}  // namespace zx
