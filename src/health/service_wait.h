#pragma once
// Waiting for services to reach the running state.
#include <cstdint>
#include <string>
#include <vector>

#include "health/service_status_source.h"

namespace zx {

// The time-out is split into walks of this many milliseconds, whatever the
// interval actually slept between them.
constexpr std::uint32_t kWaitWalkMs = 200;

// Opens every named service, then walks the list of those still pending in
// order at most timeoutMs / kWaitWalkMs times: running services leave the
// list, the first one not running ends the walk, and a walk that leaves the
// list non-empty is followed by a pause of intervalMs (the last one too).
// Returns 0 once the list is empty, 0xE00D000F when the walks run out, or
// the first error code of opening the manager or a service or of a status
// query; everything opened is closed again.
Result WaitServicesRunning(ServiceStatusSource& source, const std::vector<std::u16string>& names,
                           std::uint32_t timeoutMs, std::uint32_t intervalMs);

}  // namespace zx
