#pragma once
// The listening side of \\.\Pipe\<name>: threads that each own one pipe
// instance, wait on it for a client, serve that client themselves and then
// make a fresh instance. A thread that takes a client while no other thread
// is listening first creates the next instance and starts a thread for it,
// so a client never finds the pipe missing and a slow reply never holds up
// the next client. Serving where the client was accepted saves a hand-over
// per connection, which under Wine costs several wineserver round trips.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/win_resources.h"
#include "pipe_security.h"
#include "zxservice/server.h"

namespace zxservice {

class PipeServer {
 public:
  PipeServer(std::wstring pipePath, RawHandler handler, HANDLE stopEvent, const Limits& limits);
  ~PipeServer() { JoinListeners(); }
  PipeServer(const PipeServer&) = delete;
  PipeServer& operator=(const PipeServer&) = delete;

  // Creates the first instance; fails (ERROR_ACCESS_DENIED) when another
  // server already serves the name. Returns a Win32 error.
  DWORD Listen();
  // Serves until the stop event is set or a limit is reached (which sets
  // the stop event), then waits for the connections in progress to end.
  // onListening runs once, on a listener thread, as soon as the first
  // instance accepts clients: a client that finds the pipe before that may
  // not be able to open it.
  void Run(std::function<void()> onListening);

 private:
  enum class Connect { kConnected, kClientLeft, kFailed, kStopping };

  static DWORD WINAPI ListenerThread(void* start);
  // Takes instance (or makes one when it is empty) and listens on it.
  bool StartListener(zx::UniqueHandle instance);
  void ListenAndServe(zx::UniqueHandle instance);
  DWORD CreateInstance(bool first, zx::UniqueHandle& instance);
  // Makes sure instance holds one; false when stopping.
  bool EnsureInstance(zx::UniqueHandle& instance);
  // One ConnectNamedPipe on instance, waited for, counted as listening.
  Connect AwaitClient(HANDLE instance, HANDLE ioEvent);
  Connect ConnectInstance(HANDLE instance, HANDLE ioEvent);
  // Called with a client connected: keeps an instance listening elsewhere.
  void KeepOneListening();
  void AnnounceListening();
  void Serve(zx::UniqueHandle& instance, HANDLE ioEvent);
  void ConnectionEnded(bool answered);
  void JoinListeners();

  std::wstring m_pipePath;
  RawHandler m_handler;
  HANDLE m_stop;
  Limits m_limits;
  PipeSecurity m_security;
  zx::UniqueHandle m_firstInstance;  // from Listen until Run hands it on

  zx::CriticalSection m_lock;  // guards the members below
  std::vector<zx::UniqueHandle> m_listeners;
  std::uint32_t m_waiting = 0;  // listeners waiting for a client
  std::uint32_t m_answered = 0;
  bool m_joining = false;  // no listener starts any more
  std::function<void()> m_onListening;  // until it has run
};

}  // namespace zxservice
