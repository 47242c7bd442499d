#include "client_options.h"

#include <cstddef>

#include "transport/endpoint_config.h"

namespace zxclient {
namespace {

// A bare pipe name gets the local pipe prefix; a full path is kept.
std::wstring PipePathFrom(const std::wstring& value) {
  if (value.rfind(L"\\\\", 0) == 0) return value;
  return zx::kPipePathPrefix + value;
}

std::wstring WithTrailingBackslash(std::wstring keyPath) {
  if (keyPath.empty() || keyPath.back() != L'\\') keyPath += L'\\';
  return keyPath;
}

}  // namespace

bool ParseClientOptions(const std::vector<std::wstring>& args, ClientOptions& options,
                        std::wstring& error) {
  std::vector<std::wstring> positional;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::wstring& arg = args[i];
    if (arg == L"--help" || arg == L"-h" || arg == L"/?") {
      options.help = true;
      return true;
    }
    if (arg == L"--pipe" || arg == L"--sp-root") {
      if (i + 1 == args.size() || args[i + 1].empty()) {
        error = arg + L" needs a value";
        return false;
      }
      const std::wstring& value = args[++i];
      if (arg == L"--pipe") {
        options.pipePath = PipePathFrom(value);
      } else {
        options.spRoot = WithTrailingBackslash(value);
      }
      continue;
    }
    if (arg.size() > 2 && arg.rfind(L"--", 0) == 0) {
      error = L"unknown option " + arg;
      return false;
    }
    positional.push_back(arg);
  }
  if (positional.size() != 2) {
    error = L"expected a URL and a JSON text";
    return false;
  }
  options.url = positional[0];
  options.jsonFromStdin = positional[1] == L"-";
  if (!options.jsonFromStdin) options.json = positional[1];
  return true;
}

const wchar_t* UsageText() {
  return L"usage: zxclient [options] <url> <json>\n"
         L"Sends one request to a suite service the way the request object does\n"
         L"and writes the reply bytes unchanged to stdout.\n"
         L"  <url>   text containing /zev-cgi-bin/<service>/<path>[?query]\n"
         L"  <json>  the JSON text (sent as UTF-8), or - to send stdin's bytes\n"
         L"options:\n"
         L"  --pipe <name or \\\\.\\pipe\\path>  use this pipe instead of the registry\n"
         L"  --sp-root <key path>   look the service up below this HKLM key path\n"
         L"                         instead of the module's SP root\n"
         L"exit status: 0 reply written; 1 failure, its code printed as 0xXXXXXXXX\n"
         L"on stderr; 2 bad command line\n";
}

}  // namespace zxclient
