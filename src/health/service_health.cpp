#include "health/service_health.h"

#include <utility>

#include "health/connection_repair.h"
#include "health/repair_tool.h"
#include "health/service_query.h"

namespace zx {

namespace {

Result LastError() { return static_cast<Result>(GetLastError()); }

}  // namespace

Result ScmStatusSource::OpenManager() {
  m_manager.Reset(OpenSCManagerW(nullptr, SERVICES_ACTIVE_DATABASEW, SC_MANAGER_CONNECT));
  return m_manager ? result::kOk : LastError();
}

Result ScmStatusSource::OpenServiceForQuery(const std::u16string& name) {
  UniqueServiceHandle service(OpenServiceW(
      m_manager.Get(), reinterpret_cast<const wchar_t*>(name.c_str()), SERVICE_QUERY_STATUS));
  if (!service) return LastError();
  m_services.push_back(std::move(service));
  return result::kOk;
}

Result ScmStatusSource::QueryRunning(std::size_t index, bool& running) {
  SERVICE_STATUS status = {};
  if (!QueryServiceStatus(m_services[index].Get(), &status)) return LastError();
  running = status.dwCurrentState == SERVICE_RUNNING;
  return result::kOk;
}

// Services before the manager they were opened through.
void ScmStatusSource::CloseAll() {
  m_services.clear();
  m_manager.Reset();
}

void ScmStatusSource::Pause(std::uint32_t milliseconds) { Sleep(milliseconds); }

bool IsAnyServiceDown(const ServiceMap& services) {
  ScmStatusSource manager;
  return IsAnyServiceDown(manager, services);
}

// The tool's own result is not used: the wait tells whether it helped.
Result FixConnection(const ServiceMap& services) {
  ScmStatusSource manager;
  return FixConnection(manager, services, [] { LaunchRepairTool(); });
}

}  // namespace zx
