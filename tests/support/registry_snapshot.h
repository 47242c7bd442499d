#pragma once
// A registry subtree as text, to compare the registry before and after.
#include <windows.h>

#include <string>

namespace zx::test {

// Every key and value below root\path, one line each, sorted; "(absent)"
// when the key does not exist.
std::string RegistrySnapshot(HKEY root, const std::wstring& path);

}  // namespace zx::test
