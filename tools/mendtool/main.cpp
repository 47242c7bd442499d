// mendtool.exe /fixprobesvc: records the run (see run_record.h) and starts
// the service named in its settings (see tool_settings.h).
// Exit code: 0 done, 1 failed, 2 any other command line.
#include <windows.h>

#include <new>
#include <string>

#include "common/win_resources.h"
#include "run_record.h"
#include "tool_settings.h"

namespace mendtool {
namespace {

constexpr int kExitDone = 0;
constexpr int kExitFailed = 1;
constexpr int kExitBadCommandLine = 2;

bool StartNamedService(const std::wstring& name) {
  zx::UniqueServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
  zx::UniqueServiceHandle service(
      manager ? OpenServiceW(manager.Get(), name.c_str(), SERVICE_START) : nullptr);
  return service && (StartServiceW(service.Get(), 0, nullptr) ||
                     GetLastError() == ERROR_SERVICE_ALREADY_RUNNING);
}

int Run(int argc, wchar_t** argv) {
  ToolSettings settings = ReadToolSettings();
  if (!settings.logPath.empty() && !AppendRunRecord(settings.logPath)) return kExitFailed;
  if (argc != 2 || std::wstring(argv[1]) != L"/fixprobesvc") return kExitBadCommandLine;
  if (!settings.startService) return kExitDone;
  return StartNamedService(settings.serviceName) ? kExitDone : kExitFailed;
}

}  // namespace
}  // namespace mendtool

int wmain(int argc, wchar_t** argv) {
  try {
    return mendtool::Run(argc, argv);
  } catch (const std::bad_alloc&) {
    return mendtool::kExitFailed;
  }
}
