#pragma once
// Where the test programs and the benchmark find the module and the tools:
// all of them are built into one folder.
#include <windows.h>

#include <string>

namespace zx::test {

// The running program's own path, for running it again in a fresh process.
std::wstring ProgramPath();

// The folder of the running program, with a trailing backslash.
inline std::wstring ProgramFolder() {
  const std::wstring path = ProgramPath();
  return path.substr(0, path.find_last_of(L"\\/") + 1);
}

// A file beside the running program.
inline std::wstring BesideProgram(const wchar_t* fileName) { return ProgramFolder() + fileName; }

}  // namespace zx::test
