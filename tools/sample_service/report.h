#pragma once
// How the program tells about its end: exit codes, and failure messages on
// standard error (which goes nowhere when started as a service).
#include <windows.h>

#include <string>

namespace zxsample {

inline constexpr int kExitDone = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitBadCommandLine = 2;

// Prints "zxsample_service: <what>: error <n>" and returns kExitFailed.
int ReportFailure(const std::wstring& what, DWORD error);

}  // namespace zxsample
