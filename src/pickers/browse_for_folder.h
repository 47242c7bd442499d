#pragma once
// The single-folder picker's dialog: the shell's browse-for-folder dialog
// over the whole namespace, files listed beside folders.
#include <windows.h>
#include <oleauto.h>
#include <shtypes.h>

namespace zx {

// Stores in *path the picked item's file-system path, an empty string for an
// item without one, or null when the user cancelled. E_OUTOFMEMORY when the
// string cannot be made.
HRESULT BrowseForFolder(HWND owner, BSTR prompt, BSTR* path);

// Stores in *path the item's file-system path, whatever its length, or an
// empty string for an item without one. E_OUTOFMEMORY as above.
HRESULT FileSystemPathOf(PCIDLIST_ABSOLUTE item, BSTR* path);

}  // namespace zx
