#include "bare_clients.h"

#include <algorithm>

#include "protocol/reply_frame_reader.h"

namespace zxbench {
namespace {

constexpr DWORD kBlockingOpenFlags =
    SECURITY_SQOS_PRESENT | SECURITY_IMPERSONATION | FILE_ATTRIBUTE_NORMAL;
constexpr DWORD kOverlappedOpenFlags = FILE_FLAG_OVERLAPPED | kBlockingOpenFlags;
constexpr DWORD kAsyncWaitMs = 100;
constexpr ULONG_PTR kPipeKey = 1;
constexpr DWORD kPieceBytes = 64 * 1024;

bool Available(const std::wstring& pipePath, DWORD waitMs) {
  return WaitNamedPipeW(pipePath.c_str(), waitMs) || GetLastError() == ERROR_PIPE_BUSY;
}

zx::UniqueFile OpenPipe(const std::wstring& pipePath, DWORD flags) {
  return zx::UniqueFile(CreateFileW(pipePath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, flags, nullptr));
}

bool WriteExactly(HANDLE pipe, const char* bytes, DWORD count) {
  for (DWORD done = 0; done < count;) {
    DWORD moved = 0;
    if (!WriteFile(pipe, bytes + done, count - done, &moved, nullptr)) return false;
    done += moved;
  }
  return true;
}

// After the first read, which asks for firstAsk bytes, every read asks for
// what the frame still wants, at most pieceSize bytes.
template <class ReadPiece>
bool ReadReplyFrame(ReadPiece readPiece, DWORD firstAsk, DWORD pieceSize, std::string& reply) {
  zx::ReplyFrameReader reader;
  for (DWORD ask = firstAsk;;) {
    std::string_view piece;
    if (!readPiece(ask, piece)) return false;
    const zx::ReplyStatus status = zx::FeedFrameBytes(reader, piece);
    if (status == zx::ReplyStatus::kComplete) break;
    if (reader.BytesWanted() == 0) return false;
    ask = static_cast<DWORD>(std::min<std::size_t>(reader.BytesWanted(), pieceSize));
  }
  reply = reader.TakeBody();
  return true;
}

}  // namespace

// The first read asks for a whole piece, as the object's synchronous send
// does, so the length and a small body come in one call.
bool BlockingExchange(const std::wstring& pipePath, const std::string& frame, std::string& reply) {
  if (!Available(pipePath, NMPWAIT_USE_DEFAULT_WAIT)) return false;
  zx::UniqueFile pipe = OpenPipe(pipePath, kBlockingOpenFlags);
  if (!pipe || !WriteExactly(pipe.Get(), frame.data(), static_cast<DWORD>(frame.size()))) {
    return false;
  }
  static thread_local char buffer[kPieceBytes];
  return ReadReplyFrame(
      [&](DWORD ask, std::string_view& piece) {
        DWORD moved = 0;
        if (!ReadFile(pipe.Get(), buffer, ask, &moved, nullptr)) return false;
        piece = std::string_view(buffer, moved);
        return true;
      },
      kPieceBytes, kPieceBytes, reply);
}

bool OverlappedClient::Exchange(const std::wstring& pipePath, const std::string& frame,
                                std::string& reply) {
  if (!m_port || !Available(pipePath, kAsyncWaitMs)) return false;
  zx::UniqueFile pipe = OpenPipe(pipePath, kOverlappedOpenFlags);
  if (!pipe || !CreateIoCompletionPort(pipe.Get(), m_port.Get(), kPipeKey, 0)) return false;
  m_finishesInline = false;
  if (!Write(pipe.Get(), frame)) return false;
  // The length field comes alone; once it is known, reads that find their
  // bytes waiting finish without the port, as the object's workers do.
  return ReadReplyFrame(
      [&](DWORD ask, std::string_view& piece) {
        if (!ReadPiece(pipe.Get(), ask, piece)) return false;
        if (!m_finishesInline) {
          m_finishesInline = SetFileCompletionNotificationModes(
                                 pipe.Get(), FILE_SKIP_COMPLETION_PORT_ON_SUCCESS) != 0;
        }
        return true;
      },
      zx::kFrameLengthSize, sizeof m_piece, reply);
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

bool OverlappedClient::ReadPiece(HANDLE pipe, DWORD ask, std::string_view& piece) {
  DWORD moved = 0;
  if (!Complete(
          pipe, [&](OVERLAPPED* ov) { return ReadFile(pipe, m_piece, ask, nullptr, ov); }, moved)) {
    return false;
  }
  piece = std::string_view(m_piece, moved);
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
