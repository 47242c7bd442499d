#pragma once
// The sample service installed in the Wine prefix under the name request
// objects monitor, so the module's health checks meet a real service.
#include <windows.h>

#include <string>
#include <vector>

#include "common/win_resources.h"

namespace zx::test {

inline constexpr wchar_t kMonitoredServiceName[] = L"Velmora Online Scan Service";

// Runs zxsample_service.exe from beside the test with args to its end:
// its exit code, or STILL_ACTIVE when it had to be killed.
DWORD RunSampleServiceTool(const std::vector<std::wstring>& args);

// Deletes any service of the monitored name (a leftover of an earlier run).
bool RemoveMonitoredService();

class MonitoredService {
 public:
  // Installs it stopped, serving a pipe of its own and then options.
  explicit MonitoredService(const std::vector<std::wstring>& options = {});
  // Stops and deletes it.
  ~MonitoredService();
  MonitoredService(const MonitoredService&) = delete;
  MonitoredService& operator=(const MonitoredService&) = delete;

  bool Installed() const { return static_cast<bool>(m_service); }
  bool Start() const { return StartServiceW(m_service.Get(), 0, nullptr) != FALSE; }
  bool Stop() const;
  // The current state (SERVICE_RUNNING, ...), or 0 when it cannot be read.
  DWORD State() const;
  // Polls until the service is in state; false when it never gets there.
  bool Reaches(DWORD state) const;

 private:
  UniqueServiceHandle m_manager;
  UniqueServiceHandle m_service;
};

}  // namespace zx::test
