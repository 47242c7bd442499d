#pragma once
// The system folders (located by CSIDL) that the scan-path tree lists even
// though they are not file-system folders, the computer folder among them.
#include <windows.h>
#include <shlobj.h>

#include <vector>

#include "pickers/shell_resources.h"

namespace zx {

class KeptShellFolders {
 public:
  // Locates them anew; one the system cannot locate is left out.
  void Gather(HWND owner);
  // Whether the identifier list is exactly one of them.
  bool Contains(PCUIDLIST_RELATIVE item) const;

 private:
  std::vector<UniquePidl> m_folders;
};

}  // namespace zx
