#pragma once
// A client that shows exactly what the service sent: it writes a frame and
// keeps every byte it can read until the pipe ends, whatever the length
// field says. The framing is written out here, independently of the
// service's own code.
#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "common/win_resources.h"

namespace zx::test {

struct RawReply {
  DWORD connectError = ERROR_SUCCESS;  // why no connection was made
  std::string bytes;                   // everything read
  DWORD endError = ERROR_SUCCESS;      // why reading stopped
};

// Connects like the module's asynchronous mode (WaitNamedPipeW for 100 ms,
// then up to five attempts) and keeps the pipe open. Returns the failure.
DWORD RawConnect(const std::wstring& pipePath, UniqueFile& pipe);

// Connects the same way, writes frameBytes (if any) and reads until the
// service closes.
RawReply RawExchange(const std::wstring& pipePath, std::string_view frameBytes);

// Connects the same way, writes bytes and hangs up without reading.
// Returns the first failure.
DWORD RawSendAndHangUp(const std::wstring& pipePath, std::string_view bytes);

// The 4-byte little-endian length, then the payload.
inline std::string FrameHeader(std::uint32_t length) {
  return {static_cast<char>(length), static_cast<char>(length >> 8),
          static_cast<char>(length >> 16), static_cast<char>(length >> 24)};
}
inline std::string Frame(std::string_view payload) {
  return FrameHeader(static_cast<std::uint32_t>(payload.size())).append(payload);
}

}  // namespace zx::test
