#pragma once
// The least a client can do per request: the floor the request object is
// measured against. Both make one connection per request and open it with
// the flags the object uses.
#include <windows.h>

#include <string>
#include <string_view>

#include "common/win_resources.h"

namespace zxbench {

// Blocking, step for step what the object's synchronous send does: wait for
// an instance, open, write the frame, read the reply frame, close.
bool BlockingExchange(const std::wstring& pipePath, const std::string& frame, std::string& reply);

// Overlapped on a completion port, reading the reply in pieces of at most
// 4096 bytes as the object's workers do, but all on the calling thread: the
// write and the length field complete through the port; once the length is
// known, a read that finds its bytes already in the pipe is taken at once.
class OverlappedClient {
 public:
  OverlappedClient() : m_port(CreateIoCompletionPort(INVALID_HANDLE_VALUE, nullptr, 0, 1)) {}

  bool Exchange(const std::wstring& pipePath, const std::string& frame, std::string& reply);

 private:
  bool Write(HANDLE pipe, const std::string& frame);
  bool ReadPiece(HANDLE pipe, DWORD ask, std::string_view& piece);
  // Starts one operation (ReadFile or WriteFile on ov) and waits for it.
  template <class Start>
  bool Complete(HANDLE pipe, Start start, DWORD& moved);

  bool m_finishesInline = false;

  zx::UniqueHandle m_port;
  char m_piece[4096];
};

}  // namespace zxbench
