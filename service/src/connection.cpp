#include <algorithm>

#include "protocol/request_frame.h"
#include "zxservice/server.h"

namespace zxservice {
namespace {

// A request usually arrives whole: one read takes what is there, and only
// the rest of a larger one is read after it.
constexpr DWORD kFirstReadBytes = 4096;

}  // namespace

Connection::Connection(HANDLE pipe, HANDLE stopEvent, HANDLE ioEvent, const Limits& limits)
    : m_pipe(pipe),
      m_stop(stopEvent),
      m_ioDone(ioEvent),
      m_limits(limits),
      m_requestDeadline(GetTickCount64() + limits.requestTimeoutMs) {}

bool Connection::ReadRequest(std::string& payload) {
  char first[kFirstReadBytes];
  DWORD got = 0;
  while (got < zx::kFrameLengthSize) {
    const DWORD moved =
        Transfer(Direction::kRead, first + got, sizeof first - got, MsUntilRequestDeadline());
    if (moved == 0) return false;
    got += moved;
  }
  // Refused before any allocation: the length field is the client's word only.
  const std::uint32_t length = zx::LoadFrameLength(first);
  if (length > m_limits.maxRequestBytes) return false;
  const DWORD inFirst = std::min<DWORD>(got - zx::kFrameLengthSize, length);
  payload.assign(first + zx::kFrameLengthSize, inFirst);
  payload.resize(length);
  return ReadExact(payload.data() + inFirst, length - inFirst);
}

bool Connection::ReadExact(char* buffer, DWORD count) {
  for (DWORD done = 0; done < count;) {
    DWORD moved = Transfer(Direction::kRead, buffer + done, count - done, MsUntilRequestDeadline());
    if (moved == 0) return false;
    done += moved;
  }
  return true;
}

bool Connection::Write(std::string_view bytes) {
  char* data = const_cast<char*>(bytes.data());
  for (size_t done = 0; done < bytes.size();) {
    const auto count = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, MAXDWORD));
    DWORD moved = Transfer(Direction::kWrite, data + done, count, m_limits.replyTimeoutMs);
    if (moved == 0) return false;
    done += moved;
  }
  return true;
}

bool Connection::Pause(DWORD milliseconds) {
  return WaitForSingleObject(m_stop, milliseconds) == WAIT_TIMEOUT;
}

DWORD Connection::MsUntilRequestDeadline() const {
  const ULONGLONG now = GetTickCount64();
  return now < m_requestDeadline ? static_cast<DWORD>(m_requestDeadline - now) : 0;
}

DWORD Connection::Transfer(Direction direction, char* buffer, DWORD count, DWORD waitMs) {
  OVERLAPPED overlapped{};
  overlapped.hEvent = m_ioDone;
  BOOL done = direction == Direction::kRead
                  ? ReadFile(m_pipe, buffer, count, nullptr, &overlapped)
                  : WriteFile(m_pipe, buffer, count, nullptr, &overlapped);
  if (!done && GetLastError() != ERROR_IO_PENDING) return 0;

  bool givenUp = false;
  if (!done) {
    HANDLE waits[] = {m_ioDone, m_stop};
    givenUp = WaitForMultipleObjects(2, waits, FALSE, waitMs) != WAIT_OBJECT_0;
    if (givenUp) CancelIo(m_pipe);
  }
  // Waits for the cancellation too: the OVERLAPPED must outlive the I/O.
  DWORD moved = 0;
  if (!GetOverlappedResult(m_pipe, &overlapped, &moved, TRUE) || givenUp) return 0;
  return moved;
}

}  // namespace zxservice
