#pragma once
// Blocking reads, writes and pauses on one overlapped pipe instance that give
// up as soon as the service is told to stop, so that no connection can keep
// the service from ending.
#include <windows.h>

namespace zxsample {

class StoppableIo {
 public:
  // ioEvent: a manual-reset event for the OVERLAPPED, borrowed; each call
  // that starts I/O resets it.
  StoppableIo(HANDLE pipe, HANDLE stopEvent, HANDLE ioEvent)
      : m_pipe(pipe), m_stop(stopEvent), m_ioDone(ioEvent) {}

  // Each returns false when the transfer failed, the peer went away, or the
  // stop event was set first.
  bool ReadExact(char* buffer, DWORD count);
  bool WriteAll(const char* data, DWORD count);
  bool Pause(DWORD milliseconds);
  // One read of up to count bytes: what the pipe holds, or the next bytes to
  // arrive. Returns the bytes read, 0 on failure.
  DWORD ReadSome(char* buffer, DWORD count) { return Transfer(Direction::Read, buffer, count); }

 private:
  enum class Direction { Read, Write };
  // One ReadFile or WriteFile, waited for; returns the bytes moved, 0 on failure.
  DWORD Transfer(Direction direction, char* buffer, DWORD count);

  HANDLE m_pipe;
  HANDLE m_stop;
  HANDLE m_ioDone;
};

}  // namespace zxsample
