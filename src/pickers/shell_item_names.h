#pragma once
// Names and icons of shell items, as the scan-path tree shows and keeps them.
#include <windows.h>
#include <shlobj.h>

#include <optional>
#include <string>

namespace zx {

// The child's name in the given form (SHGDN_FORPARSING, SHGDN_NORMAL);
// nothing when the folder cannot give it.
std::optional<std::u16string> DisplayNameOf(IShellFolder* folder, PCUITEMID_CHILD child,
                                            SHGDNF form);

// The item's icon in the system's small image list; -1 when it has none.
int SmallIconIndexOf(PCIDLIST_ABSOLUTE item, bool open);

// The system's small-icon image list (shared: never destroyed).
HIMAGELIST SystemSmallImageList(PCIDLIST_ABSOLUTE anyItem);

}  // namespace zx
