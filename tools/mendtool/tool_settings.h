#pragma once
// What a test wants of the tool, read from "mendtool.ini" beside it:
//   [mendtool]
//   log=<file>      each run appends one line to it (none: no record)
//   mode=start      start the service (the default); mode=none leaves it down
//   service=<name>  the service to start (default: the monitored one)
#include <string>

namespace mendtool {

struct ToolSettings {
  std::wstring logPath;
  bool startService = true;
  std::wstring serviceName;
};

ToolSettings ReadToolSettings();

}  // namespace mendtool
