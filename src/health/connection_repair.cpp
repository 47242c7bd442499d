#include "health/connection_repair.h"

#include <string>
#include <vector>

#include "health/service_query.h"

namespace zx {

namespace {

// Services leave the pending list only from its front, so the list is the
// opened services from index `first` on. Advances first past every running
// service up to the first one that is not.
Result WalkPending(ServiceStatusSource& source, std::size_t& first, std::size_t count) {
  while (first < count) {
    bool running = false;
    if (Result error = source.QueryRunning(first, running)) return error;
    if (!running) break;
    ++first;
  }
  return result::kOk;
}

}  // namespace

Result WaitServicesRunning(ServiceStatusSource& source, const std::vector<std::u16string>& names,
                           std::uint32_t timeoutMs, std::uint32_t intervalMs) {
  std::uint32_t walks = timeoutMs / kWaitWalkMs;
  if (Result error = source.OpenManager()) return error;
  ServiceSession session(source);
  for (const std::u16string& name : names) {
    if (Result error = source.OpenServiceForQuery(name)) return error;
  }
  std::size_t first = 0;
  for (; walks > 0; --walks) {
    if (Result error = WalkPending(source, first, names.size())) return error;
    if (first == names.size()) return result::kOk;
    source.Pause(intervalMs);
  }
  return first == names.size() ? result::kOk : result::kServicesNotRunning;
}

Result FixConnection(ServiceStatusSource& source, const ServiceMap& services,
                     const RepairToolLauncher& launchRepairTool) {
  ServiceMap stopped;
  CollectStoppedServices(source, services, stopped);
  std::vector<std::u16string> names;
  for (const auto& service : stopped) {
    names.push_back(service.first);
    launchRepairTool();
  }
  return WaitServicesRunning(source, names, kRepairWaitTimeoutMs, kRepairWaitIntervalMs);
}

}  // namespace zx
