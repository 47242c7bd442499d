#pragma once
// What each item of the scan-path tree keeps (as its lParam, owned by the
// item and deleted with it).
#include <windows.h>

#include <string>

#include "pickers/shell_resources.h"

namespace zx {

struct ShellItemData {
  // The parsing name, behind the computer-child marker where that applies.
  std::u16string storedPath;
  // The enumerated child's first identifier, relative to its folder.
  UniquePidl child;
  // The folder's absolute identifier list followed by the child's.
  UniquePidl absolute;
};

}  // namespace zx
