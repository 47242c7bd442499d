#include "bare_clients.h"

#include <algorithm>

#include "request/request_frame.h"

namespace zxbench {
namespace {

constexpr DWORD kBlockingOpenFlags =
    SECURITY_SQOS_PRESENT | SECURITY_IMPERSONATION | FILE_ATTRIBUTE_NORMAL;
constexpr DWORD kOverlappedOpenFlags = FILE_FLAG_OVERLAPPED | kBlockingOpenFlags;
constexpr DWORD kAsyncWaitMs = 100;
constexpr ULONG_PTR kPipeKey = 1;

bool Available(const std::wstring& pipePath, DWORD waitMs) {
  return WaitNamedPipeW(pipePath.c_str(), waitMs) || GetLastError() == ERROR_PIPE_BUSY;
}

zx::UniqueFile OpenPipe(const std::wstring& pipePath, DWORD flags) {
  return zx::UniqueFile(CreateFileW(pipePath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, flags, nullptr));
}

bool ReadExactly(HANDLE pipe, char* into, DWORD count) {
  for (DWORD done = 0; done < count;) {
    DWORD moved = 0;
    if (!ReadFile(pipe, into + done, count - done, &moved, nullptr)) return false;
    done += moved;
  }
  return true;
}

bool WriteExactly(HANDLE pipe, const char* bytes, DWORD count) {
  for (DWORD done = 0; done < count;) {
    DWORD moved = 0;
    if (!WriteFile(pipe, bytes + done, count - done, &moved, nullptr)) return false;
    done += moved;
  }
  return true;
}

}  // namespace

// The first read takes the length and what of the body is there, as the
// object's synchronous send reads a reply.
bool BlockingExchange(const std::wstring& pipePath, const std::string& frame, std::string& reply) {
  if (!Available(pipePath, NMPWAIT_USE_DEFAULT_WAIT)) return false;
  zx::UniqueFile pipe = OpenPipe(pipePath, kBlockingOpenFlags);
  if (!pipe || !WriteExactly(pipe.Get(), frame.data(), static_cast<DWORD>(frame.size()))) {
    return false;
  }
  char first[4096];
  DWORD got = 0;
  while (got < zx::kFrameLengthSize) {
    DWORD moved = 0;
    if (!ReadFile(pipe.Get(), first + got, sizeof first - got, &moved, nullptr)) return false;
    got += moved;
  }
  const DWORD length = zx::LoadFrameLength(first);
  const DWORD inFirst = std::min<DWORD>(got - zx::kFrameLengthSize, length);
  std::string body(first + zx::kFrameLengthSize, inFirst);
  body.resize(length);
  if (length == 0 || !ReadExactly(pipe.Get(), &body[inFirst], length - inFirst)) return false;
  reply = std::move(body);
  return true;
}

bool OverlappedClient::Exchange(const std::wstring& pipePath, const std::string& frame,
                                std::string& reply) {
  if (!m_port || !Available(pipePath, kAsyncWaitMs)) return false;
  zx::UniqueFile pipe = OpenPipe(pipePath, kOverlappedOpenFlags);
  if (!pipe || !CreateIoCompletionPort(pipe.Get(), m_port.Get(), kPipeKey, 0)) return false;
  m_finishesInline = false;
  if (!Write(pipe.Get(), frame)) return false;
  std::string lengthField;
  if (!Read(pipe.Get(), zx::kFrameLengthSize, lengthField)) return false;
  const DWORD length = zx::LoadFrameLength(lengthField.data());
  m_finishesInline =
      SetFileCompletionNotificationModes(pipe.Get(), FILE_SKIP_COMPLETION_PORT_ON_SUCCESS) != 0;
  std::string body;
  body.reserve(length);
  if (length == 0 || !Read(pipe.Get(), length, body)) return false;
  reply = std::move(body);
  return true;
}

bool OverlappedClient::Write(HANDLE pipe, const std::string& frame) {
  for (DWORD done = 0; done < frame.size();) {
    DWORD moved = 0;
    const bool written = Complete(
        pipe,
        [&](OVERLAPPED* ov) {
          return WriteFile(pipe, frame.data() + done, static_cast<DWORD>(frame.size() - done),
                           nullptr, ov);
        },
        moved);
    if (!written) return false;
    done += moved;
  }
  return true;
}

bool OverlappedClient::Read(HANDLE pipe, DWORD count, std::string& into) {
  while (into.size() < count) {
    const DWORD wanted = std::min<DWORD>(count - static_cast<DWORD>(into.size()), sizeof m_piece);
    DWORD moved = 0;
    if (!Complete(
            pipe, [&](OVERLAPPED* ov) { return ReadFile(pipe, m_piece, wanted, nullptr, ov); },
            moved)) {
      return false;
    }
    into.append(m_piece, moved);
  }
  return true;
}

// A call that finishes at once still completes through the port, unless
// the pipe has been told to skip it.
template <class Start>
bool OverlappedClient::Complete(HANDLE pipe, Start start, DWORD& moved) {
  OVERLAPPED ov = {};
  if (start(&ov)) {
    if (m_finishesInline) return GetOverlappedResult(pipe, &ov, &moved, FALSE) && moved != 0;
  } else if (GetLastError() != ERROR_IO_PENDING) {
    return false;
  }
  ULONG_PTR key = 0;
  OVERLAPPED* done = nullptr;
  return GetQueuedCompletionStatus(m_port.Get(), &moved, &key, &done, INFINITE) && moved != 0;
}

}  // namespace zxbench
