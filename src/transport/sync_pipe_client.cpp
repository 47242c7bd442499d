#include "transport/sync_pipe_client.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <new>
#include <stdexcept>
#include <utility>

#include "protocol/reply_frame_reader.h"
#include "protocol/request_frame.h"
#include "protocol/result_codes.h"

namespace zx {
namespace {

// Blocking I/O, impersonation allowed to the service.
constexpr DWORD kPipeOpenFlags =
    SECURITY_SQOS_PRESENT | SECURITY_IMPERSONATION | FILE_ATTRIBUTE_NORMAL;
static_assert(kPipeOpenFlags == 0x00120080, "the service expects these open flags");
constexpr int kOpenAttempts = 5;
constexpr DWORD kOpenRetryDelayMs = 50;

// Repeats step(done, left, &moved) until count bytes have moved; false as
// soon as a step fails. A zero-length message moves nothing and is skipped.
template <class Step>
bool MoveAll(DWORD count, Step step) {
  for (DWORD done = 0; done < count;) {
    DWORD moved = 0;
    if (!step(done, count - done, &moved)) return false;
    done += moved;
  }
  return true;
}

// 0, or kSyncNoPipeInstance when no instance of the pipe exists (no service listens).
// Waits as long as the server's default time-out while every instance is busy.
HRESULT WaitPipeAvailable(const SyncPipeClient& client) {
  if (WaitNamedPipeW(client.name.c_str(), NMPWAIT_USE_DEFAULT_WAIT) ||
      GetLastError() == ERROR_PIPE_BUSY) {
    return S_OK;
  }
  return result::kSyncNoPipeInstance;
}

// 0, or kSyncWriteFailed when the pipe fails before count bytes moved.
HRESULT WriteAll(SyncPipeClient& client, const void* bytes, DWORD count) {
  const auto* data = static_cast<const BYTE*>(bytes);
  const bool written = MoveAll(count, [&](DWORD done, DWORD left, DWORD* moved) {
    return WriteFile(client.pipe.Get(), data + done, left, moved, nullptr);
  });
  return written ? S_OK : result::kSyncWriteFailed;
}

// Closes the pipe after a failed exchange.
void DropConnection(SyncPipeClient& client) { client.pipe.Reset(); }

// Bytes one read of the reply asks for at most: a small reply arrives whole
// in the first read, a large one in few calls.
constexpr DWORD kReadPieceBytes = 64 * 1024;

HRESULT ReplyResult(ReplyStatus status) {
  switch (status) {
    case ReplyStatus::kEmptyReply:
      return result::kSyncEmptyReply;
    case ReplyStatus::kTooLarge:
    case ReplyStatus::kOutOfMemory:
      return result::kSyncOutOfMemory;
    default:
      return result::kSyncReadFailed;
  }
}

// Reads the reply frame into reply. The first read asks for a whole piece,
// so the length and a small body come in one call; later reads ask for no
// more than the frame still wants. The body grows with what arrives, never
// with what was announced.
HRESULT ReadReply(SyncPipeClient& client, std::string& reply) {
  ReplyFrameReader reader;
  const std::unique_ptr<char[]> piece(new char[kReadPieceBytes]);
  DWORD ask = kReadPieceBytes;
  for (;;) {
    DWORD moved = 0;
    if (!ReadFile(client.pipe.Get(), piece.get(), ask, &moved, nullptr)) {
      return result::kSyncReadFailed;
    }
    const ReplyStatus status = FeedFrameBytes(reader, std::string_view(piece.get(), moved));
    if (status == ReplyStatus::kComplete) break;
    if (reader.BytesWanted() == 0) return ReplyResult(status);
    ask = static_cast<DWORD>(std::min<std::size_t>(reader.BytesWanted(), kReadPieceBytes));
  }
  reply = reader.TakeBody();
  return S_OK;
}

// Five attempts 50 ms apart to open the pipe.
HRESULT OpenWithRetries(SyncPipeClient& client) {
  for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
    client.pipe.Reset(CreateFileW(client.name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  OPEN_EXISTING, kPipeOpenFlags, nullptr));
    if (client.pipe) return S_OK;
    Sleep(kOpenRetryDelayMs);
  }
  return result::kSyncOpenRetriesExhausted;
}

HRESULT Exchange(SyncPipeClient& client, std::string_view pathText, std::string_view json,
                 std::string& reply) {
  HRESULT hr = WaitPipeAvailable(client);
  if (hr != S_OK) return hr;
  if (!client.pipe) {
    hr = OpenWithRetries(client);
    if (hr != S_OK) return hr;
  }
  std::string frame;
  if (!BuildRequestFrame(pathText, json, frame)) {
    DropConnection(client);
    return result::kSyncOutOfMemory;
  }
  hr = WriteAll(client, frame.data(), static_cast<DWORD>(frame.size()));
  if (hr == S_OK) hr = ReadReply(client, reply);
  if (hr != S_OK) DropConnection(client);
  return hr;
}

}  // namespace

HRESULT Transact(SyncPipeClient& client, std::wstring_view pipePath, std::string_view pathText,
                 std::string_view json, std::string& reply) noexcept {
  if (pipePath.empty() || pathText.empty() || json.empty()) return result::kSyncMissingInput;
  try {
    client.name.assign(pipePath);
    return Exchange(client, pathText, json, reply);
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) {
  }
  DropConnection(client);
  return result::kSyncOutOfMemory;
}

}  // namespace zx
