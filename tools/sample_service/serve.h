#pragma once
// One serving run, the same however the process was started: publish the
// pipe, answer connections until the stop event is set or a limit is
// reached, then withdraw the registration if asked.
#include <windows.h>

#include <functional>

#include "command_line.h"

namespace zxsample {

// The event that ends the run: the named --stop-event, else a private one.
// Null when it cannot be created.
HANDLE CreateStopEvent(const ServiceOptions& options);

// Calls onListening once the pipe listens and its name is registered, then
// sets the ready event, or without one prints "ready" on standard output.
// Returns the process exit code.
int Serve(const ServiceOptions& options, HANDLE stopEvent,
          const std::function<void()>& onListening);

}  // namespace zxsample
