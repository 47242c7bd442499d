#include "health/launch_elevated.h"

#include <windows.h>
#include <shellapi.h>

#include "common/win_resources.h"
#include "health/os_version.h"

namespace zx {
namespace {

constexpr INT_PTR kLastShellError = 32;

Result ShellExecuteRunAs(const std::wstring& program, const std::wstring& arguments) {
  INT_PTR code = reinterpret_cast<INT_PTR>(
      ShellExecuteW(nullptr, L"runas", program.c_str(), arguments.c_str(), nullptr, SW_HIDE));
  return code <= kLastShellError ? static_cast<Result>(code) : result::kOk;
}

// The program path is quoted so that a space in it cannot make another
// program run in its place.
Result CreateHiddenProcess(const std::wstring& program, const std::wstring& arguments) {
  std::wstring commandLine = L"\"" + program + L"\" " + arguments;
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                      nullptr, nullptr, &startup, &process)) {
    return static_cast<Result>(GetLastError());
  }
  // Not waited for: only the handles go.
  UniqueHandle thread(process.hThread), started(process.hProcess);
  return result::kOk;
}

}  // namespace

Result LaunchElevated(const std::wstring& program, const std::wstring& arguments) {
  return IsVistaOrLater() ? ShellExecuteRunAs(program, arguments)
                          : CreateHiddenProcess(program, arguments);
}

}  // namespace zx
