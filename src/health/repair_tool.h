#pragma once
// Starting the suite's repair tool: where it is installed, and how it is
// started on this system (elevated from Vista on, without a window).
#include <string>

#include "protocol/result_codes.h"

namespace zx {

// Vista and later (major version 6 and up) ask for elevation. False on
// earlier systems and when the version cannot be read.
bool IsVistaOrLater();

// Vista and later: the shell's "runas" verb with a hidden window; returns 0,
// or the shell's error value (0 to 32) when the start failed or the user
// declined. Earlier systems: CreateProcessW of "<program>" <arguments>
// without a console window; returns 0 or the Win32 error code. The program
// is never waited for.
Result LaunchElevated(const std::wstring& program, const std::wstring& arguments);

// "<Program Files>\Velmora\netprobe\mendtool.exe"; empty when the Program
// Files folder cannot be found.
std::wstring RepairToolPath();

// Starts the repair tool with "/fixprobesvc" through LaunchElevated and
// returns its result; ERROR_PATH_NOT_FOUND, without starting anything, when
// the tool's path is unknown.
Result LaunchRepairTool();

}  // namespace zx
