#include "service_install.h"

#include <windows.h>

#include "argument_quoting.h"
#include "common/win_resources.h"
#include "report.h"

namespace zxsample {
namespace {

constexpr DWORD kStopWaitMs = 10000;
constexpr DWORD kStopPollMs = 100;

std::wstring ThisProgramPath() {
  std::wstring path(32768, L'\0');
  DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  path.resize(length);
  return path;
}

void StopAndWait(SC_HANDLE service) {
  SERVICE_STATUS status{};
  if (!ControlService(service, SERVICE_CONTROL_STOP, &status)) return;
  for (DWORD waited = 0; waited < kStopWaitMs; waited += kStopPollMs) {
    if (!QueryServiceStatus(service, &status) || status.dwCurrentState == SERVICE_STOPPED) return;
    Sleep(kStopPollMs);
  }
}

}  // namespace

int InstallService(const std::wstring& name, const std::vector<std::wstring>& servingArguments) {
  std::wstring commandLine = JoinCommandLine({ThisProgramPath(), L"--service", name});
  if (!servingArguments.empty()) commandLine += L' ' + JoinCommandLine(servingArguments);

  zx::UniqueServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CREATE_SERVICE));
  if (!manager) return ReportFailure(L"cannot open the service control manager", GetLastError());
  zx::UniqueServiceHandle service(CreateServiceW(
      manager.Get(), name.c_str(), name.c_str(), SERVICE_ALL_ACCESS, SERVICE_WIN32_OWN_PROCESS,
      SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL, commandLine.c_str(), nullptr, nullptr, nullptr,
      nullptr, nullptr));
  if (service) return kExitDone;
  if (GetLastError() != ERROR_SERVICE_EXISTS) {
    return ReportFailure(L"cannot create the service " + name, GetLastError());
  }
  service.Reset(OpenServiceW(manager.Get(), name.c_str(), SERVICE_CHANGE_CONFIG));
  if (!service || !ChangeServiceConfigW(service.Get(), SERVICE_NO_CHANGE, SERVICE_NO_CHANGE,
                                        SERVICE_NO_CHANGE, commandLine.c_str(), nullptr, nullptr,
                                        nullptr, nullptr, nullptr, nullptr)) {
    return ReportFailure(L"cannot update the service " + name, GetLastError());
  }
  return kExitDone;
}

int UninstallService(const std::wstring& name) {
  zx::UniqueServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
  if (!manager) return ReportFailure(L"cannot open the service control manager", GetLastError());
  zx::UniqueServiceHandle service(
      OpenServiceW(manager.Get(), name.c_str(), SERVICE_STOP | SERVICE_QUERY_STATUS | DELETE));
  if (!service) {
    if (GetLastError() == ERROR_SERVICE_DOES_NOT_EXIST) return kExitDone;
    return ReportFailure(L"cannot open the service " + name, GetLastError());
  }
  StopAndWait(service.Get());
  if (!DeleteService(service.Get()) && GetLastError() != ERROR_SERVICE_MARKED_FOR_DELETE) {
    return ReportFailure(L"cannot delete the service " + name, GetLastError());
  }
  return kExitDone;
}

}  // namespace zxsample
