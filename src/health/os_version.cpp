#include "health/os_version.h"

#include <windows.h>

namespace zx {

bool IsVistaOrLater() {
  OSVERSIONINFOW version = {};
  version.dwOSVersionInfoSize = sizeof(version);
  return GetVersionExW(&version) && version.dwMajorVersion >= 6;
}

}  // namespace zx
