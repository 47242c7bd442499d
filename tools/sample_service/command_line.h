#pragma once
// The sample service's command line: what to do, which pipe and registry key
// to use, how to answer and when to stop. UsageText() lists every option.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "reply_options.h"

namespace zxsample {

enum class Action {
  kServe,         // in the foreground until killed, stopped or a limit is reached
  kRunAsService,  // under the Service Control Manager (--service)
  kInstall,       // create the Windows service and exit (--install)
  kUninstall,     // stop and delete the Windows service and exit (--uninstall)
  kUnregister,    // delete the registration key and exit (--unregister)
  kHelp,
};

inline constexpr wchar_t kDefaultPipeName[] = L"zxsample";

struct ServiceOptions {
  Action action = Action::kServe;
  std::wstring pipeName = kDefaultPipeName;
  std::wstring segment;  // empty: the pipe name is not registered
  std::wstring spRoot;   // ends with a backslash
  bool unregisterAtExit = false;
  std::wstring logPath;           // empty: requests are not logged
  std::wstring readyEvent;        // empty: readiness is only printed
  std::wstring stopEvent;         // empty: an unnamed event nobody else can set
  std::uint32_t maxRequests = 0;  // 0: no limit
  DWORD exitAfterMs = 0;          // 0: no limit
  bool singleInstance = false;    // one instance, served where it was accepted
  std::wstring serviceName;       // RunAsService, Install, Uninstall
  DWORD startPendingMs = 0;       // RunAsService; INFINITE waits for a stop
  ReplyOptions reply;
  // The arguments without --install and its name: what the installed service
  // is started with, after --service <name>.
  std::vector<std::wstring> servingArguments;
};

// Parses the arguments after the program name. On failure returns false and
// describes the first problem in error.
bool ParseCommandLine(const std::vector<std::wstring>& args, ServiceOptions& options,
                      std::wstring& error);

const wchar_t* UsageText();

}  // namespace zxsample
