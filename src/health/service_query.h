#pragma once
// One look at the monitored services: is any of them down, and which.
#include <string>

#include "health/service_status_source.h"
#include "health/service_table.h"

namespace zx {

// Whether the named service runs: 0 or the manager's error code (not
// installed, no right to query, ...); running is written only on success.
Result QueryServiceRunning(ServiceStatusSource& source, const std::u16string& name, bool& running);

// True when any service fails its query or is not running. Every service is
// queried, none skipped after the first one found down.
bool IsAnyServiceDown(ServiceStatusSource& source, const ServiceMap& services);

// Adds to stopped every service (with its start argument) that fails its
// query or is not running.
void CollectStoppedServices(ServiceStatusSource& source, const ServiceMap& services,
                            ServiceMap& stopped);

}  // namespace zx
