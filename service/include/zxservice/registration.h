#pragma once
// Publishes a service's pipe name where the request objects look it up: the
// REG_SZ value "Name" of HKEY_LOCAL_MACHINE\<SP root><service>. Each build
// of the objects reads its own registry view; view (0, KEY_WOW64_32KEY or
// KEY_WOW64_64KEY) picks the one written, 0 being the caller's own.
#include <windows.h>

#include <string>

#include "common/pipe_names.h"

namespace zxservice {

// Creates the key if needed and sets "Name". spRoot ends with a backslash.
// Returns a Win32 error.
LSTATUS RegisterPipeName(const std::wstring& service, const std::wstring& pipeName,
                         const std::wstring& spRoot = zx::kDefaultSpRootKeyPath,
                         REGSAM view = 0);
// Deletes the service's key (never the SP root); a missing key is no error.
LSTATUS UnregisterPipeName(const std::wstring& service,
                           const std::wstring& spRoot = zx::kDefaultSpRootKeyPath,
                           REGSAM view = 0);

}  // namespace zxservice
