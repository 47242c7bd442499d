#pragma once
// Running a class's registry script against the real registry; the HRESULT
// is what DllRegisterServer and DllUnregisterServer pass on.
#include <windows.h>

#include <string_view>

#include "registrar/registrar.h"
#include "registrar/registry_script_variables.h"

namespace zx {

// A script that cannot be parsed, or names an unknown parameter.
inline constexpr HRESULT kInvalidRegistryScript =
    static_cast<HRESULT>(0x8007000DL);  // HRESULT_FROM_WIN32(ERROR_INVALID_DATA)

// Parses the UTF-8 script and applies it. Returns S_OK, kInvalidRegistryScript
// (nothing written), the registry's failure as HRESULT_FROM_WIN32, or
// E_OUTOFMEMORY.
HRESULT RunRegistryScript(std::string_view scriptUtf8, const ScriptVariables& variables,
                          RegistrationMode mode, OtherView otherView = OtherView::kUnregistered);

// The same for the module's resource of type "REGISTRY" with the given id.
HRESULT RunRegistryResource(HMODULE module, UINT resourceId, const ScriptVariables& variables,
                            RegistrationMode mode, OtherView otherView = OtherView::kUnregistered);

}  // namespace zx
