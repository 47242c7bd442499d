#pragma once
// A one-connection pipe server on its own thread, playing the service in
// exchange tests. The pipe exists from construction on; the handler runs
// with the connected pipe once a client has connected.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <thread>

#include "common/win_resources.h"

namespace zx {

class TestPipeServer {
 public:
  using Handler = std::function<void(HANDLE pipe)>;

  explicit TestPipeServer(Handler handler, DWORD openMode = PIPE_ACCESS_DUPLEX);
  // Releases a server still waiting for its client, then joins it.
  ~TestPipeServer();
  TestPipeServer(const TestPipeServer&) = delete;
  TestPipeServer& operator=(const TestPipeServer&) = delete;

  const std::wstring& Path() const { return m_path; }
  bool Connected() const { return m_connected; }

  // A pipe path no server listens on.
  static std::wstring UnusedPath();

 private:
  void Serve(Handler handler);

  std::wstring m_path;
  UniqueFile m_pipe;  // closed by the server thread when its handler returns
  std::atomic<bool> m_connected{false};
  std::atomic<bool> m_stopping{false};
  std::thread m_thread;
};

// Helpers for handlers; those returning bool give false when the pipe fails.
bool ReadExactly(HANDLE pipe, std::string& bytes, DWORD count);
// Reads one frame and returns it whole, length field included (empty when
// the pipe fails).
std::string ReadFrame(HANDLE pipe);
bool WriteBytes(HANDLE pipe, std::string_view bytes);
// The 4-byte little-endian length field of a frame.
std::string LengthField(std::uint32_t length);
// Waits until the client closes its end; handlers that answered end with it,
// so the reply is never cut by the server closing first.
void WaitForClientToClose(HANDLE pipe);

}  // namespace zx
