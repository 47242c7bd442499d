#pragma once
// The listening side of \\.\Pipe\<name>: one overlapped accept loop that
// always has a listening instance, and a pool of threads that serve the
// connected instances.
// A new instance is created before a connected one is handed on, so a client
// never finds the pipe missing while the server runs.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "common/win_resources.h"
#include "connection_pool.h"
#include "pipe_security.h"

namespace zxsample {

class PipeServer {
 public:
  // Serves one connected instance; returns whether it counts as a request.
  using ConnectionHandler = std::function<bool(HANDLE pipe)>;

  struct Limits {
    std::uint32_t maxRequests = 0;  // 0: none
    DWORD runMilliseconds = 0;      // 0: none
  };

  PipeServer(std::wstring pipePath, ConnectionHandler handler, HANDLE stopEvent, Limits limits);
  PipeServer(const PipeServer&) = delete;
  PipeServer& operator=(const PipeServer&) = delete;

  // Creates the first instance; fails (ERROR_ACCESS_DENIED) when another
  // server already serves the name. Returns a Win32 error.
  DWORD Listen();
  // Accepts until the stop event is set or a limit is reached (which sets
  // the stop event), then waits for the connections in progress to end.
  void Run();

 private:
  DWORD CreateInstance(bool first, zx::UniqueHandle& instance);
  // Makes sure m_listening holds an instance; false when stopping.
  bool EnsureListening();
  // Waits for a client on m_listening; false when stopping.
  bool AwaitClient(ULONGLONG deadline);
  enum class Connect { Connected, ClientLeft, Failed, Stopping };
  // One ConnectNamedPipe on m_listening, waited for.
  Connect ConnectListening(ULONGLONG deadline);
  // Milliseconds until the deadline (0: none, INFINITE).
  static DWORD TimeLeft(ULONGLONG deadline);
  void StartConnection(zx::UniqueHandle pipe);
  void ServeAndCount(zx::UniqueHandle pipe);
  void ConnectionStarted();
  void ConnectionEnded(bool answered);

  std::wstring m_pipePath;
  ConnectionHandler m_handler;
  HANDLE m_stop;
  Limits m_limits;
  zx::UniqueHandle m_listening;
  zx::UniqueHandle m_connectDone;
  zx::UniqueHandle m_idle;  // set while no connection is in progress
  PipeSecurity m_security;

  zx::CriticalSection m_lock;  // guards the two counters below
  std::uint32_t m_active = 0;
  std::uint32_t m_answered = 0;
  // Last, so that its threads are joined while everything they use lives.
  ConnectionPool m_pool;
};

}  // namespace zxsample
