#include "console_host.h"

#include "common/win_resources.h"
#include "report.h"
#include "serve.h"

namespace zxsample {
namespace {

// The console control handler runs on a thread of its own and takes no
// context, so it finds the stop event here.
HANDLE g_consoleStop = nullptr;

BOOL WINAPI OnConsoleControl(DWORD) {
  SetEvent(g_consoleStop);
  return TRUE;
}

}  // namespace

int RunInConsole(const ServiceOptions& options) {
  zx::UniqueHandle stop(CreateStopEvent(options));
  if (!stop) return ReportFailure(L"cannot create the stop event", GetLastError());
  g_consoleStop = stop.Get();
  SetConsoleCtrlHandler(OnConsoleControl, TRUE);
  int exitCode = Serve(options, stop.Get(), [] {});
  SetConsoleCtrlHandler(OnConsoleControl, FALSE);
  return exitCode;
}

}  // namespace zxsample
