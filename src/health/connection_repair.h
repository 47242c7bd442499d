#pragma once
// Repairing the connection: start the repair tool for every monitored
// service that is down, then wait for those services to run.
#include <cstdint>
#include <functional>

#include "health/service_status_source.h"
#include "health/service_table.h"

namespace zx {

// How long the repair waits for the services, and how often it looks.
constexpr std::uint32_t kRepairWaitTimeoutMs = 10000;
constexpr std::uint32_t kRepairWaitIntervalMs = 200;

// Starts the repair tool; whether that worked is judged only by the wait.
using RepairToolLauncher = std::function<void()>;

// Launches the tool once per service found down (in map order) and returns
// the outcome of waiting for those services: 0 when they all run (or none
// was down), 0xE00D000F when one still does not, or the manager's error code.
Result FixConnection(ServiceStatusSource& source, const ServiceMap& services,
                     const RepairToolLauncher& launchRepairTool);

}  // namespace zx
