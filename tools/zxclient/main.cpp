// zxclient: sends one request to a suite service exactly as the request
// object's synchronous send does, for poking a service by hand.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "client_options.h"
#include "protocol/code_page.h"
#include "protocol/request_url.h"
#include "transport/endpoint_config.h"
#include "transport/sync_pipe_client.h"

namespace {

const char16_t* AsChar16(const wchar_t* text) { return reinterpret_cast<const char16_t*>(text); }
const wchar_t* AsWide(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }

HRESULT FindPipePath(const zxclient::ClientOptions& options, const std::wstring& service,
                     std::wstring& pipePath) {
  if (!options.pipePath.empty()) {
    pipePath = options.pipePath;
    return S_OK;
  }
  if (!options.spRoot.empty()) return zx::LookupPipeName(options.spRoot, service, pipePath);
  return zx::LookupPipeName(service, pipePath);
}

HRESULT ReadJson(const zxclient::ClientOptions& options, std::string& json) {
  if (!options.jsonFromStdin) return zx::Utf16ToUtf8(options.json.c_str(), json);
  _setmode(_fileno(stdin), _O_BINARY);
  char buffer[4096];
  while (const size_t count = std::fread(buffer, 1, sizeof buffer, stdin))
    json.append(buffer, count);
  return S_OK;
}

HRESULT SendRequest(const zxclient::ClientOptions& options, std::string& reply) {
  zx::RequestUrlParts parts;
  HRESULT hr = zx::SplitRequestUrl(AsChar16(options.url.c_str()), parts);
  if (hr != S_OK) return hr;
  const std::wstring path(AsWide(parts.path.data()), parts.path.size());
  const std::wstring service(AsWide(parts.service.data()), parts.service.size());

  std::wstring pipePath;
  hr = FindPipePath(options, service, pipePath);
  if (hr != S_OK) return hr;
  std::string pathText;
  hr = zx::Utf16ToThreadAnsi(path.c_str(), pathText);
  if (hr != S_OK) return hr;
  std::string json;
  hr = ReadJson(options, json);
  if (hr != S_OK) return hr;

  zx::SyncPipeClient client;
  return zx::Transact(client, pipePath, pathText, json, reply);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::vector<std::wstring> args(argv + 1, argv + argc);
  zxclient::ClientOptions options;
  std::wstring error;
  if (!zxclient::ParseClientOptions(args, options, error)) {
    std::fwprintf(stderr, L"zxclient: %ls\n%ls", error.c_str(), zxclient::UsageText());
    return 2;
  }
  if (options.help) {
    std::fwprintf(stdout, L"%ls", zxclient::UsageText());
    return 0;
  }
  std::string reply;
  const HRESULT hr = SendRequest(options, reply);
  if (hr != S_OK) {
    std::fprintf(stderr, "0x%08lX\n", static_cast<unsigned long>(hr));
    return 1;
  }
  _setmode(_fileno(stdout), _O_BINARY);
  std::fwrite(reply.data(), 1, reply.size(), stdout);
  return std::fflush(stdout) == 0 ? 0 : 1;
}
