#pragma once
// DllRegisterServer and DllUnregisterServer: the registry scripts, the type
// library, the safe-for-scripting categories and the pre-approved list.
#include <windows.h>

namespace zx {

HRESULT RegisterServer();
HRESULT UnregisterServer();

}  // namespace zx
