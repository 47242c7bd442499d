#pragma once
// The file name of a loaded module, however long its path.
#include <windows.h>

#include <string>

namespace zx {

// The module this code is linked into: the DLL, or the executable of a
// program that links the layers statically (the tests).
HMODULE ThisModule() noexcept;

// The full file name of module (null: the host process's executable).
// Returns S_OK or E_FAIL; fileName is untouched on failure.
HRESULT GetModuleFileNameString(HMODULE module, std::wstring& fileName) noexcept;

}  // namespace zx
