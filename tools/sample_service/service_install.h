#pragma once
// Creating and deleting the Windows service that runs this program.
#include <string>
#include <vector>

namespace zxsample {

// Creates a demand-start service running as LocalSystem whose command line
// is this program, --service <name>, then servingArguments; an existing
// service of that name gets the new command line. Returns the exit code.
// Paths among the arguments should be absolute: a service starts in the
// system directory.
int InstallService(const std::wstring& name, const std::vector<std::wstring>& servingArguments);
// Stops the service (waiting up to 10 s) and deletes it; a service that does
// not exist is no failure. Returns the exit code.
int UninstallService(const std::wstring& name);

}  // namespace zxsample
