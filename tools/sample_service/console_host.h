#pragma once
// Serving in the foreground: until the stop event or Ctrl+C / Ctrl+Break /
// closing the console, or a limit of the command line.
#include "command_line.h"

namespace zxsample {

int RunInConsole(const ServiceOptions& options);

}  // namespace zxsample
