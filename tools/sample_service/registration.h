#pragma once
// Publishes the pipe name where clients look it up: the REG_SZ value "Name"
// of HKLM\<SP root><service segment>.
#include <windows.h>

#include <string>

namespace zxsample {

// Creates the key if needed and sets "Name". Returns a Win32 error.
LSTATUS RegisterPipeName(const std::wstring& spRoot, const std::wstring& segment,
                         const std::wstring& pipeName);
// Deletes the segment's key (not the SP root); a missing key is no error.
LSTATUS UnregisterPipeName(const std::wstring& spRoot, const std::wstring& segment);

}  // namespace zxsample
