#pragma once
// Serving as a Windows service: the Service Control Manager starts the
// process with --service <name>; the service reports START_PENDING (for
// --start-pending, until it runs out or the stop event is set), RUNNING
// once the pipe listens, and STOPPED when SERVICE_CONTROL_STOP, the stop
// event or a limit of the command line ends the run.
#include "command_line.h"

namespace zxsample {

// Blocks in StartServiceCtrlDispatcherW; returns the process exit code.
int RunAsService(const ServiceOptions& options);

}  // namespace zxsample
