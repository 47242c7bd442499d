#pragma once
// The request object's health properties against the real Service Control
// Manager and the installed repair tool.
#include <windows.h>

#include <vector>

#include "common/win_resources.h"
#include "health/service_status_source.h"
#include "health/service_table.h"
#include "protocol/result_codes.h"

namespace zx {

// The real Service Control Manager of the local machine, opened with
// connect and query-status rights only: nothing here starts or stops a
// service.
class ScmStatusSource final : public ServiceStatusSource {
 public:
  Result OpenManager() override;
  Result OpenServiceForQuery(const std::u16string& name) override;
  Result QueryRunning(std::size_t index, bool& running) override;
  void CloseAll() override;
  void Pause(std::uint32_t milliseconds) override;

 private:
  UniqueServiceHandle m_manager;
  std::vector<UniqueServiceHandle> m_services;
};

// Whether any of the services is not installed, cannot be queried or is
// not running (pending states included).
bool IsAnyServiceDown(const ServiceMap& services);

// Starts the repair tool for each service that is down and waits up to 10 s
// for them: 0, kServicesNotRunning, or the manager's error code (1060 for a service
// that is not installed).
Result FixConnection(const ServiceMap& services);

}  // namespace zx
