#pragma once
// The suite's repair tool, installed below the Program Files folder.
#include <string>

#include "protocol/result_codes.h"

namespace zx {

// "<Program Files>\Velmora\netprobe\mendtool.exe"; empty when the Program
// Files folder cannot be found.
std::wstring RepairToolPath();

// Starts the repair tool with "/fixprobesvc" through LaunchElevated and
// returns its result; ERROR_PATH_NOT_FOUND, without starting anything, when
// the tool's path is unknown.
Result LaunchRepairTool();

}  // namespace zx
