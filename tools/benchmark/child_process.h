#pragma once
// Runs another program and collects what it prints.
#include <windows.h>

#include <string>

namespace zxbench {

// Starts commandLine with standard output and error going into output, and
// waits up to timeoutMs for it to end. Returns its exit code, or -1 when it
// did not start or did not end in time (it is then killed).
// Output is collected while the program runs and until it ends, not until
// every inheritor of the pipe has closed it: helper processes the program
// starts must not keep the caller waiting.
long RunAndCapture(std::wstring commandLine, std::string& output, DWORD timeoutMs);

// This program's own path, for running itself in a fresh process.
std::wstring ProgramPath();

}  // namespace zxbench
