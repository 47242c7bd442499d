#pragma once
// The version test that decides how the repair tool is started: Vista and
// later (major version 6 and up) ask for elevation.

namespace zx {

// False on earlier systems and when the version cannot be read.
bool IsVistaOrLater();

}  // namespace zx
