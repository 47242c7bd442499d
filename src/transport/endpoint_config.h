#pragma once
// Where a service's pipe is: the registry key below HKEY_LOCAL_MACHINE whose
// path is the SP root key path followed by the service name holds the pipe's
// name in its REG_SZ value "Name". The SP root is fixed once per process,
// from "zevcomm.dat" beside the host executable or beside this module, or
// the built-in default.
#include <windows.h>

#include <string>
#include <string_view>

#include "common/pipe_names.h"
#include "common/win_resources.h"

namespace zx {

// The process-wide SP root key path, always ending with a backslash.
// Resolved while the module loads; read-only afterwards, so it needs no lock.
const std::wstring& SpRootKeyPath();

// The SP root from the INI file beside the host executable, else the one
// beside this module, else the default.
std::wstring ResolveSpRootKeyPath();
// The same order over two given INI files.
std::wstring ResolveSpRootKeyPath(const std::wstring& hostIniPath,
                                  const std::wstring& moduleIniPath);

// Replaces pipePath with "\\.\Pipe\" + the service's "Name" value. Returns
// S_OK, the registry's error as an HRESULT (0x80070002 for a missing key),
// HRESULT_FROM_WIN32(ERROR_DATATYPE_MISMATCH) for a value of another type
// than REG_SZ, or kSyncOutOfMemory. pipePath is empty after every failure.
HRESULT LookupPipeName(std::wstring_view serviceName, std::wstring& pipePath) noexcept;
// The same below an explicit root key path instead of SpRootKeyPath().
HRESULT LookupPipeName(std::wstring_view rootKeyPath, std::wstring_view serviceName,
                       std::wstring& pipePath) noexcept;

// LookupPipeName's two steps. OpenServiceKey opens the service's key for
// reading into key (untouched on failure); ReadPipeNameValue reads its
// "Name" value into pipePath. Both return what LookupPipeName returns.
HRESULT OpenServiceKey(std::wstring_view rootKeyPath, std::wstring_view serviceName,
                       UniqueRegKey& key) noexcept;
HRESULT ReadPipeNameValue(HKEY key, std::wstring& pipePath) noexcept;

// The path of "zevcomm.dat" in module's folder; empty if the module's file
// name is unknown.
std::wstring ModuleIniPath(HMODULE module);
// Reads section "SPRoot", key "SPRoot" and appends a missing trailing
// backslash. Returns S_OK, or E_FAIL (out untouched) when the file, section
// or key is absent or the value is empty.
HRESULT ReadSpRootFromIni(const std::wstring& iniPath, std::wstring& spRoot);

}  // namespace zx
