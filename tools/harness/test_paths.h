#pragma once
// Where the test programs find the module and the tools: all of them are
// built into one folder.
#include <windows.h>

#include <string>

namespace zx::test {

// The folder of the running test program, with a trailing backslash.
std::wstring ProgramFolder();

// A file beside the running test program.
inline std::wstring BesideProgram(const wchar_t* fileName) { return ProgramFolder() + fileName; }

}  // namespace zx::test
