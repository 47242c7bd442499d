#pragma once
// Starting a program with administrator rights where the system asks for
// them, without showing it.
#include <string>

#include "protocol/result_codes.h"

namespace zx {

// Vista and later: the shell's "runas" verb with a hidden window; returns 0,
// or the shell's error value (0 to 32) when the start failed or the user
// declined. Earlier systems: CreateProcessW of "<program>" <arguments>
// without a console window; returns 0 or the Win32 error code. The program
// is never waited for.
Result LaunchElevated(const std::wstring& program, const std::wstring& arguments);

}  // namespace zx
