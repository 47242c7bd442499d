#pragma once
// The service side of the pipe contract. A Server listens on \\.\Pipe\<name>
// with the security the request objects expect, takes several clients at
// once (one thread each) and serves one request per connection: it reads
// one frame (a 4-byte little-endian length, then "<path>?json=<json>"),
// hands it to the service's handler and writes the handler's reply as one
// frame. What a client may send is bounded in size and time; Stop() ends
// the service, connections in progress included.
//
//   zxservice::Server server(L"my-pipe", [](const zxservice::Request& request) {
//     return std::string("{\"ok\":true}");
//   });
//   if (server.Listen() == ERROR_SUCCESS) server.Run();
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "common/win_resources.h"

namespace zxservice {

// One request's payload, split at its first "?json=". Both are bytes as the
// client sent them: the path in the client's ANSI code page, the JSON in UTF-8.
struct Request {
  std::string_view path;  // e.g. "/demo/scan/status"
  std::string_view json;  // empty when the payload has no "?json="
};

// Returns the reply body, usually JSON text in UTF-8. Runs on the thread of
// the connection, concurrently with other connections; whatever it shares
// needs a lock. A body that is empty or longer than a client accepts, or an
// exception, is answered with ErrorCodeReply(E_FAIL) instead.
using Handler = std::function<std::string(const Request& request)>;

// {"error_code":"<code>"}: the reply that tells a page which result its
// request had. Codes are HRESULTs written as signed decimal numbers.
std::string ErrorCodeReply(std::int32_t code);

struct Limits {
  // A longer request is refused unread: the connection is closed.
  std::uint32_t maxRequestBytes = 64u << 20;
  // From accepting a client until its whole request has arrived; a client
  // that is slower is disconnected.
  DWORD requestTimeoutMs = 10000;
  // The longest a client may leave the reply unread before it is dropped.
  DWORD replyTimeoutMs = 30000;
  std::uint32_t maxRequests = 0;  // after this many requests Run returns; 0: none
  DWORD runMilliseconds = 0;      // after this long Run returns; 0: none
  // One listening instance, its client served on the thread that accepted
  // it, which only then listens again: the simplest shape a service can
  // have. The next instance exists before the served one is closed, so the
  // pipe's name never disappears and clients that come meanwhile wait for
  // it (WaitNamedPipe).
  bool singleInstance = false;
};

// One connected client, for services that write their reply bytes
// themselves (RawHandler). Every call gives up when the server stops.
class Connection {
 public:
  // pipe, stopEvent and ioEvent (manual-reset, for the OVERLAPPED) are borrowed.
  Connection(HANDLE pipe, HANDLE stopEvent, HANDLE ioEvent, const Limits& limits);

  // Reads one request frame's payload within the request limits. False when
  // the client hung up, sent too much, took too long, or the server stops.
  bool ReadRequest(std::string& payload);
  // Writes all of bytes; false when the client went away or stopped reading.
  bool Write(std::string_view bytes);
  // Waits; false when the server stops first.
  bool Pause(DWORD milliseconds);

 private:
  enum class Direction { kRead, kWrite };
  // One ReadFile or WriteFile, waited for up to waitMs; the bytes moved, 0
  // on failure.
  DWORD Transfer(Direction direction, char* buffer, DWORD count, DWORD waitMs);
  bool ReadExact(char* buffer, DWORD count);
  DWORD MsUntilRequestDeadline() const;

  HANDLE m_pipe;
  HANDLE m_stop;
  HANDLE m_ioDone;
  const Limits& m_limits;
  ULONGLONG m_requestDeadline;
};

// Serves one connection itself; returns whether it counts as a request (for
// Limits::maxRequests). The connection is closed after it returns.
using RawHandler = std::function<bool(Connection& connection)>;

class PipeServer;

class Server {
 public:
  // pipeName is the part after \\.\Pipe\. stopEvent, if given, is a
  // manual-reset event the caller owns and may set to stop the server;
  // otherwise the server makes its own.
  Server(std::wstring pipeName, Handler handler, const Limits& limits = {},
         HANDLE stopEvent = nullptr);
  Server(std::wstring pipeName, RawHandler handler, const Limits& limits = {},
         HANDLE stopEvent = nullptr);
  ~Server();
  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;

  // Creates the first pipe instance. Returns a Win32 error:
  // ERROR_ACCESS_DENIED when another server already serves the name.
  DWORD Listen();
  // Serves until Stop(), the stop event or a limit, then waits for the
  // connections in progress to end (their reads, writes and pauses give up
  // at once). onListening runs once, on a server thread, as soon as the
  // first instance accepts clients: announce readiness there.
  void Run(const std::function<void()>& onListening = {});
  // From any thread, also before Run.
  void Stop();

 private:
  zx::UniqueHandle m_ownStop;  // when the caller gave no stop event
  HANDLE m_stop;
  std::unique_ptr<PipeServer> m_pipes;
};

}  // namespace zxservice
