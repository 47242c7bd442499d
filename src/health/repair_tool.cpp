#include "health/repair_tool.h"

#include <windows.h>
#include <shlobj.h>

#include "health/launch_elevated.h"

namespace zx {
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
