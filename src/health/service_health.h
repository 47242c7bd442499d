#pragma once
// The request object's health properties against the real Service Control
// Manager and the installed repair tool.
#include "health/service_table.h"
#include "protocol/result_codes.h"

namespace zx {

// Whether any of the services is not installed, cannot be queried or is
// not running (pending states included).
bool IsAnyServiceDown(const ServiceMap& services);

// Starts the repair tool for each service that is down and waits up to 10 s
// for them: 0, 0xE00D000F, or the manager's error code (1060 for a service
// that is not installed).
Result FixConnection(const ServiceMap& services);

}  // namespace zx
