#include "monitored_service.h"

#include "harness/sample_service_process.h"
#include "harness/test_paths.h"

namespace zx::test {
namespace {

constexpr DWORD kProcessWaitMs = 30000;
constexpr DWORD kPollMs = 50;

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

}  // namespace

DWORD RunSampleServiceTool(const std::vector<std::wstring>& args) {
  std::wstring commandLine = Quoted(BesideProgram(L"zxsample_service.exe"));
  for (const std::wstring& arg : args) commandLine += L" " + Quoted(arg);
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return STILL_ACTIVE;
  }
  UniqueHandle thread(process.hThread), child(process.hProcess);
  DWORD exitCode = STILL_ACTIVE;
  if (WaitForSingleObject(child.Get(), kProcessWaitMs) == WAIT_OBJECT_0) {
    GetExitCodeProcess(child.Get(), &exitCode);
  } else {
    TerminateProcess(child.Get(), 1);
  }
  return exitCode;
}

bool RemoveMonitoredService() {
  return RunSampleServiceTool({L"--uninstall", kMonitoredServiceName}) == 0;
}

MonitoredService::MonitoredService(const std::vector<std::wstring>& options) {
  std::vector<std::wstring> args = {L"--install", kMonitoredServiceName, L"--pipe",
                                    UniqueName(L"zx-health")};
  args.insert(args.end(), options.begin(), options.end());
  if (!RemoveMonitoredService() || RunSampleServiceTool(args) != 0) return;
  m_manager.Reset(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
  if (!m_manager) return;
  m_service.Reset(OpenServiceW(m_manager.Get(), kMonitoredServiceName,
                               SERVICE_START | SERVICE_STOP | SERVICE_QUERY_STATUS));
}

MonitoredService::~MonitoredService() {
  m_service.Reset();
  RemoveMonitoredService();
}

bool MonitoredService::Stop() const {
  SERVICE_STATUS status = {};
  return ControlService(m_service.Get(), SERVICE_CONTROL_STOP, &status) && Reaches(SERVICE_STOPPED);
}

DWORD MonitoredService::State() const {
  SERVICE_STATUS status = {};
  return QueryServiceStatus(m_service.Get(), &status) ? status.dwCurrentState : 0;
}

bool MonitoredService::Reaches(DWORD state) const {
  for (DWORD waited = 0; waited < kProcessWaitMs; waited += kPollMs) {
    if (State() == state) return true;
    Sleep(kPollMs);
  }
  return false;
}

}  // namespace zx::test
