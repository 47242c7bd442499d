#include "registrar/registrar_resource.h"

#include <new>
#include <stdexcept>

#include "registrar/registrar_win32_registry.h"
#include "registrar/registry_script_parser.h"

namespace zx {
namespace {

HRESULT LastErrorResult() {
  const DWORD error = GetLastError();
  return error == ERROR_SUCCESS ? E_FAIL : HRESULT_FROM_WIN32(error);
}

// Resource data stays mapped as long as the module is loaded.
HRESULT FindScriptResource(HMODULE module, UINT resourceId, std::string_view& script) {
  const HRSRC info = FindResourceW(module, MAKEINTRESOURCEW(resourceId), L"REGISTRY");
  if (!info) return LastErrorResult();
  const HGLOBAL loaded = LoadResource(module, info);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) return LastErrorResult();
  script = std::string_view(static_cast<const char*>(data), SizeofResource(module, info));
  return S_OK;
}

}  // namespace

HRESULT RunRegistryScript(std::string_view scriptUtf8, const ScriptVariables& variables,
                          RegistrationMode mode, OtherView otherView) {
  // Only allocation can throw here; it must not leave through the COM exports.
  try {
    const ScriptParseResult parsed = ParseRegistryScriptUtf8(scriptUtf8, variables);
    if (!parsed.ok()) return kInvalidRegistryScript;
    Win32Registry registry;
    return HRESULT_FROM_WIN32(ApplyRegistryScript(parsed.script, registry, mode, otherView));
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (const std::length_error&) {
    return E_OUTOFMEMORY;
  }
}

HRESULT RunRegistryResource(HMODULE module, UINT resourceId, const ScriptVariables& variables,
                            RegistrationMode mode, OtherView otherView) {
  std::string_view script;
  const HRESULT found = FindScriptResource(module, resourceId, script);
  return FAILED(found) ? found : RunRegistryScript(script, variables, mode, otherView);
}

}  // namespace zx
