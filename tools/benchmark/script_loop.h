#pragma once
// A request loop written in JScript and run by the system's script host
// (timed_loop.js beside this program). The script times itself, so the
// host's start-up is not counted.
#include <string>

namespace zxbench {

enum class ScriptClient { kRequestObject, kWinHttp };

// Milliseconds per request over count requests, or a negative number when
// the script failed.
double TimeScriptLoop(ScriptClient client, const std::wstring& url, const std::wstring& encodedJson,
                      long count);

}  // namespace zxbench
