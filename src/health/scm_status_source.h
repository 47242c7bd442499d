#pragma once
// The real Service Control Manager of the local machine, opened with
// connect and query-status rights only: nothing here starts or stops a
// service.
#include <windows.h>

#include <vector>

#include "common/win_resources.h"
#include "health/service_status_source.h"

namespace zx {

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

}  // namespace zx
