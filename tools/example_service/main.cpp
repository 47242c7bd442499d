// zxexample_service.exe <service> <pipe name>: the smallest complete service.
// It answers "/<service>/hello?json=<json>" with {"hello":<json>} and any
// other request with an error code, until Ctrl+C.
#include <cstdio>
#include <string>

#include "zxservice/registration.h"
#include "zxservice/server.h"

namespace {

zxservice::Server* g_server = nullptr;

BOOL WINAPI OnConsoleControl(DWORD) {
  g_server->Stop();
  return TRUE;
}

std::string Answer(const zxservice::Request& request) {
  const std::string_view hello = "/hello";
  const bool isHello = request.path.size() > hello.size() &&
                       request.path.substr(request.path.size() - hello.size()) == hello;
  if (!isHello || request.json.empty()) return zxservice::ErrorCodeReply(E_INVALIDARG);
  return "{\"hello\":" + std::string(request.json) + "}";
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) return 2;
  zxservice::Server server(argv[2], Answer);
  // Listening first: a registered name must always lead to a pipe.
  if (server.Listen() || zxservice::RegisterPipeName(argv[1], argv[2])) return 1;
  g_server = &server;
  SetConsoleCtrlHandler(OnConsoleControl, TRUE);
  server.Run([] { std::puts("ready"); std::fflush(stdout); });
  zxservice::UnregisterPipeName(argv[1]);
  return 0;
}
