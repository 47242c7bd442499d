#include "stoppable_io.h"

namespace zxsample {

bool StoppableIo::ReadExact(char* buffer, DWORD count) {
  for (DWORD done = 0; done < count;) {
    DWORD moved = Transfer(Direction::Read, buffer + done, count - done);
    if (moved == 0) return false;
    done += moved;
  }
  return true;
}

bool StoppableIo::WriteAll(const char* data, DWORD count) {
  for (DWORD done = 0; done < count;) {
    DWORD moved = Transfer(Direction::Write, const_cast<char*>(data) + done, count - done);
    if (moved == 0) return false;
    done += moved;
  }
  return true;
}

bool StoppableIo::Pause(DWORD milliseconds) {
  return WaitForSingleObject(m_stop, milliseconds) == WAIT_TIMEOUT;
}

DWORD StoppableIo::Transfer(Direction direction, char* buffer, DWORD count) {
  OVERLAPPED overlapped{};
  overlapped.hEvent = m_ioDone;
  BOOL started = direction == Direction::Read
                     ? ReadFile(m_pipe, buffer, count, nullptr, &overlapped)
                     : WriteFile(m_pipe, buffer, count, nullptr, &overlapped);
  if (!started && GetLastError() != ERROR_IO_PENDING) return 0;

  bool stopped = false;
  if (!started) {
    HANDLE waits[] = {m_ioDone, m_stop};
    stopped = WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0;
    if (stopped) CancelIo(m_pipe);
  }
  // Waits for the cancellation too: the OVERLAPPED must outlive the I/O.
  DWORD moved = 0;
  if (!GetOverlappedResult(m_pipe, &overlapped, &moved, TRUE) || stopped) return 0;
  return moved;
}

}  // namespace zxsample
