#include "health/connection_repair.h"

#include <string>
#include <vector>

#include "health/service_query.h"
#include "health/service_wait.h"

namespace zx {

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
