// zxsample_service.exe: the peer at the other end of the module's pipes, for
// tests, the demo and the benchmarks. See UsageText() for the command line.
#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "command_line.h"
#include "console_host.h"
#include "report.h"
#include "service_host.h"
#include "service_install.h"
#include "zxservice/registration.h"

namespace zxsample {
namespace {

int Run(const ServiceOptions& options) {
  switch (options.action) {
    case Action::kServe:
      return RunInConsole(options);
    case Action::kRunAsService:
      return RunAsService(options);
    case Action::kInstall:
      return InstallService(options.serviceName, options.servingArguments);
    case Action::kUninstall:
      return UninstallService(options.serviceName);
    case Action::kUnregister:
      if (LSTATUS error = zxservice::UnregisterPipeName(options.segment, options.spRoot)) {
        return ReportFailure(L"cannot delete " + options.spRoot + options.segment,
                             static_cast<DWORD>(error));
      }
      return kExitDone;
    case Action::kHelp:
      std::fputws(UsageText(), stdout);
      return kExitDone;
  }
  return kExitBadCommandLine;
}

}  // namespace
}  // namespace zxsample

int wmain(int argc, wchar_t** argv) {
  using namespace zxsample;
  std::vector<std::wstring> args(argv + 1, argv + argc);
  ServiceOptions options;
  std::wstring error;
  if (!ParseCommandLine(args, options, error)) {
    std::fwprintf(stderr, L"zxsample_service: %ls (--help lists the options)\n", error.c_str());
    return kExitBadCommandLine;
  }
  try {
    return Run(options);
  } catch (const std::bad_alloc&) {
    return ReportFailure(L"out of memory", ERROR_NOT_ENOUGH_MEMORY);
  }
}
