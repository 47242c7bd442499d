#include "health/repair_tool.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include "common/win_resources.h"

namespace zx {

bool IsVistaOrLater() {
  OSVERSIONINFOW version = {};
  version.dwOSVersionInfoSize = sizeof(version);
  return GetVersionExW(&version) && version.dwMajorVersion >= 6;
}

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

namespace {

constexpr wchar_t kToolBelowProgramFiles[] = L"\\Velmora\\netprobe\\mendtool.exe";
constexpr wchar_t kRepairArguments[] = L"/fixprobesvc";

}  // namespace

std::wstring RepairToolPath() {
  wchar_t folder[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, folder))) {
    return {};
  }
  return folder + std::wstring(kToolBelowProgramFiles);
}

// Without the folder the path would name the root of the current drive, and
// whatever sits there would be started with administrator rights.
Result LaunchRepairTool() {
  std::wstring tool = RepairToolPath();
  if (tool.empty()) return ERROR_PATH_NOT_FOUND;
  return LaunchElevated(tool, kRepairArguments);
}

}  // namespace zx
