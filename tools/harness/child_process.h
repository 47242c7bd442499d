#pragma once
// Other programs run by a test or the benchmark: started, waited for, and
// what they print collected.
#include <windows.h>

#include <string>

#include "common/win_resources.h"

namespace zx::test {

// Starts commandLine; output, when given, must be inheritable and receives
// the program's standard output and error. Null when it did not start.
UniqueHandle StartProgram(std::wstring commandLine, HANDLE output = nullptr);

// Waits up to timeoutMs for process to end: its exit code, or STILL_ACTIVE.
DWORD WaitForExit(HANDLE process, DWORD timeoutMs);

// Runs commandLine with standard output and error going into output and
// waits up to timeoutMs for it to end. Returns its exit code, or -1 when it
// did not start or did not end in time (it is then killed). Output is
// collected until the program ends, not until every inheritor of the pipe
// has closed it: helpers the program starts cannot keep the caller waiting.
long RunAndCapture(std::wstring commandLine, std::string& output, DWORD timeoutMs);

}  // namespace zx::test
