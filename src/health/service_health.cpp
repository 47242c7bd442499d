#include "health/service_health.h"

#include "health/connection_repair.h"
#include "health/repair_tool.h"
#include "health/scm_status_source.h"
#include "health/service_query.h"

namespace zx {

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
