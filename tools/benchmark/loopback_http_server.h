#pragma once
// A small HTTP/1.1 server on 127.0.0.1 only, answering each request with
// the reply the sample service gives in echo mode, {"path":"<path>",
// "json":<json>}, where the JSON is the query's json parameter of a GET or
// the body of a POST, on kept-alive connections: what a page would talk to
// instead of a pipe. It serves on its own threads from construction until
// destruction.
#include <winsock2.h>
#include <windows.h>

#include <string>
#include <vector>

#include "common/win_resources.h"

namespace zxbench {

class LoopbackHttpServer {
 public:
  LoopbackHttpServer();
  ~LoopbackHttpServer();
  LoopbackHttpServer(const LoopbackHttpServer&) = delete;
  LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

  // 0 when the server could not start.
  unsigned short Port() const { return m_port; }

 private:
  static DWORD WINAPI AcceptThread(void* server);
  static DWORD WINAPI ConnectionThread(void* socket);
  void AcceptAll();

  bool m_winsock = false;
  SOCKET m_listener = INVALID_SOCKET;
  unsigned short m_port = 0;
  zx::UniqueHandle m_acceptThread;
  // Touched only by the accept thread while it runs, then by the destructor.
  std::vector<SOCKET> m_connections;
  std::vector<zx::UniqueHandle> m_connectionThreads;
};

}  // namespace zxbench
