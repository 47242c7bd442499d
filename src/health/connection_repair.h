#pragma once
// Repairing the connection: start the repair tool for every monitored
// service that is down, then wait for those services to run.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "health/service_status_source.h"
#include "health/service_table.h"

namespace zx {

// The time-out is split into walks of this many milliseconds, whatever the
// interval actually slept between them.
constexpr std::uint32_t kWaitWalkMs = 200;

// Opens every named service, then walks the list of those still pending in
// order at most timeoutMs / kWaitWalkMs times: running services leave the
// list, the first one not running ends the walk, and a walk that leaves the
// list non-empty is followed by a pause of intervalMs (the last one too).
// Returns 0 once the list is empty, kServicesNotRunning when the walks run out, or
// the first error code of opening the manager or a service or of a status
// query; everything opened is closed again.
Result WaitServicesRunning(ServiceStatusSource& source, const std::vector<std::u16string>& names,
                           std::uint32_t timeoutMs, std::uint32_t intervalMs);

// How long the repair waits for the services, and how often it looks.
constexpr std::uint32_t kRepairWaitTimeoutMs = 10000;
constexpr std::uint32_t kRepairWaitIntervalMs = 200;

// Starts the repair tool; whether that worked is judged only by the wait.
using RepairToolLauncher = std::function<void()>;

// Launches the tool once per service found down (in map order) and returns
// the outcome of waiting for those services: 0 when they all run (or none
// was down), kServicesNotRunning when one still does not, or the manager's error code.
Result FixConnection(ServiceStatusSource& source, const ServiceMap& services,
                     const RepairToolLauncher& launchRepairTool);

}  // namespace zx
