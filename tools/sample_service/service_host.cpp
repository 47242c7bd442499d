#include "service_host.h"

#include <algorithm>

#include "common/win_resources.h"
#include "report.h"
#include "serve.h"

namespace zxsample {
namespace {

constexpr DWORD kPendingStepMs = 1000;

// ServiceMain and the control handler get no context of ours: the one
// service of this process keeps its state here. Written by RunAsService
// before the dispatcher starts, then by ServiceMain's thread only.
struct ServiceState {
  const ServiceOptions* options = nullptr;
  HANDLE stop = nullptr;
  SERVICE_STATUS_HANDLE statusHandle = nullptr;
  DWORD checkPoint = 0;
  int exitCode = kExitDone;
};
ServiceState g_service;

void ReportStatus(DWORD state, int exitCode = kExitDone) {
  SERVICE_STATUS status{};
  status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
  status.dwCurrentState = state;
  // Stop is accepted while starting too: a service held in START_PENDING
  // must still be stoppable where the control manager allows it.
  if (state != SERVICE_STOPPED) {
    status.dwControlsAccepted = SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SHUTDOWN;
  }
  if (exitCode != kExitDone) {
    status.dwWin32ExitCode = ERROR_SERVICE_SPECIFIC_ERROR;
    status.dwServiceSpecificExitCode = static_cast<DWORD>(exitCode);
  }
  bool pending = state == SERVICE_START_PENDING;
  status.dwCheckPoint = pending ? ++g_service.checkPoint : 0;
  status.dwWaitHint = pending ? 2 * kPendingStepMs : 0;
  SetServiceStatus(g_service.statusHandle, &status);
}

DWORD WINAPI OnServiceControl(DWORD control, DWORD, void*, void*) {
  switch (control) {
    case SERVICE_CONTROL_STOP:
    case SERVICE_CONTROL_SHUTDOWN:
      SetEvent(g_service.stop);
      return NO_ERROR;
    case SERVICE_CONTROL_INTERROGATE:
      return NO_ERROR;
    default:
      return ERROR_CALL_NOT_IMPLEMENTED;
  }
}

// Holds START_PENDING for --start-pending; false when stopped meanwhile.
bool StayStartPending(DWORD milliseconds) {
  for (DWORD waited = 0; milliseconds == INFINITE || waited < milliseconds;) {
    DWORD step = milliseconds == INFINITE ? kPendingStepMs
                                          : std::min(milliseconds - waited, kPendingStepMs);
    if (WaitForSingleObject(g_service.stop, step) != WAIT_TIMEOUT) return false;
    waited += step;
    ReportStatus(SERVICE_START_PENDING);
  }
  return true;
}

void WINAPI ServiceMain(DWORD, wchar_t**) {
  g_service.statusHandle = RegisterServiceCtrlHandlerExW(
      g_service.options->serviceName.c_str(), OnServiceControl, nullptr);
  if (!g_service.statusHandle) {
    g_service.exitCode = ReportFailure(L"cannot register the control handler", GetLastError());
    return;
  }
  ReportStatus(SERVICE_START_PENDING);
  if (StayStartPending(g_service.options->startPendingMs)) {
    g_service.exitCode =
        Serve(*g_service.options, g_service.stop, [] { ReportStatus(SERVICE_RUNNING); });
  }
  ReportStatus(SERVICE_STOPPED, g_service.exitCode);
}

}  // namespace

int RunAsService(const ServiceOptions& options) {
  zx::UniqueHandle stop(CreateStopEvent(options));
  if (!stop) return ReportFailure(L"cannot create the stop event", GetLastError());
  g_service.options = &options;
  g_service.stop = stop.Get();
  std::wstring name = options.serviceName;
  SERVICE_TABLE_ENTRYW table[] = {{name.data(), ServiceMain}, {nullptr, nullptr}};
  if (!StartServiceCtrlDispatcherW(table)) {
    return ReportFailure(L"cannot reach the service control manager", GetLastError());
  }
  return g_service.exitCode;
}

}  // namespace zxsample
