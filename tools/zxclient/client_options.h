#pragma once
// zxclient's command line: the request to send and how to find the pipe.
#include <string>
#include <vector>

namespace zxclient {

struct ClientOptions {
  std::wstring url;
  std::wstring json;        // as typed; converted to UTF-8 before sending
  bool jsonFromStdin = false;  // "-": the JSON bytes come unchanged from stdin
  std::wstring pipePath;    // empty: looked up in the registry
  std::wstring spRoot;      // empty: the module's SP root
  bool help = false;
};

// Parses the arguments after the program name. On failure returns false and
// describes the problem in error.
bool ParseClientOptions(const std::vector<std::wstring>& args, ClientOptions& options,
                        std::wstring& error);

const wchar_t* UsageText();

}  // namespace zxclient
