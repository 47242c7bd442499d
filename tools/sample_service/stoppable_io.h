#pragma once
// Blocking reads, writes and pauses on one overlapped pipe instance that give
// up as soon as the service is told to stop, so that no connection can keep
// the service from ending.
#include <windows.h>

#include "common/win_resources.h"

namespace zxsample {

class StoppableIo {
 public:
  StoppableIo(HANDLE pipe, HANDLE stopEvent);

  // Each returns false when the transfer failed, the peer went away, or the
  // stop event was set first.
  bool ReadExact(char* buffer, DWORD count);
  bool WriteAll(const char* data, DWORD count);
  bool Pause(DWORD milliseconds);

 private:
  enum class Direction { Read, Write };
  // One ReadFile or WriteFile, waited for; returns the bytes moved, 0 on failure.
  DWORD Transfer(Direction direction, char* buffer, DWORD count);

  HANDLE m_pipe;
  HANDLE m_stop;
  zx::UniqueHandle m_ioDone;  // manual-reset, as the OVERLAPPED needs it
};

}  // namespace zxsample
