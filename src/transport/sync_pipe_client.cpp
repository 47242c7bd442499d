#include "transport/sync_pipe_client.h"

#include <algorithm>
#include <cstdint>
#include <new>
#include <stdexcept>
#include <utility>

#include "request/request_frame.h"
#include "request/result_codes.h"

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

// Bytes the first read of a reply asks for: a small reply arrives whole.
constexpr DWORD kFirstReadBytes = 4096;

// Reads the reply frame into reply. The first read takes the length field
// and whatever of the body the pipe already holds, saving a call per reply;
// the rest of the body goes straight into its final buffer.
HRESULT ReadReply(SyncPipeClient& client, std::string& reply) {
  char first[kFirstReadBytes];
  DWORD got = 0;
  while (got < kFrameLengthSize) {
    DWORD moved = 0;
    if (!ReadFile(client.pipe.Get(), first + got, sizeof first - got, &moved, nullptr)) {
      return result::kSyncReadFailed;
    }
    got += moved;
  }
  const std::uint32_t length = LoadFrameLength(first);
  if (length == 0) return result::kSyncEmptyReply;
  const DWORD inFirst = std::min<DWORD>(got - kFrameLengthSize, length);
  std::string body(length, '\0');
  std::copy_n(first + kFrameLengthSize, inFirst, &body[0]);
  if (ReadAll(client, &body[inFirst], length - inFirst) != S_OK) return result::kSyncReadFailed;
  reply = std::move(body);
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
  // Not ConnectBlocking: it would wait for an instance a second time, which
  // costs a round trip to the system and changes nothing.
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

HRESULT WaitPipeAvailable(const SyncPipeClient& client) {
  if (WaitNamedPipeW(client.name.c_str(), NMPWAIT_USE_DEFAULT_WAIT) ||
      GetLastError() == ERROR_PIPE_BUSY) {
    return S_OK;
  }
  return result::kSyncNoPipeInstance;
}

HRESULT ConnectBlocking(SyncPipeClient& client) {
  const HRESULT hr = WaitPipeAvailable(client);
  return hr == S_OK ? OpenWithRetries(client) : hr;
}

HRESULT WriteAll(SyncPipeClient& client, const void* bytes, DWORD count) {
  const auto* data = static_cast<const BYTE*>(bytes);
  const bool written = MoveAll(count, [&](DWORD done, DWORD left, DWORD* moved) {
    return WriteFile(client.pipe.Get(), data + done, left, moved, nullptr);
  });
  return written ? S_OK : result::kSyncWriteFailed;
}

HRESULT ReadAll(SyncPipeClient& client, void* buffer, DWORD count) {
  auto* data = static_cast<BYTE*>(buffer);
  const bool read = MoveAll(count, [&](DWORD done, DWORD left, DWORD* moved) {
    return ReadFile(client.pipe.Get(), data + done, left, moved, nullptr);
  });
  return read ? S_OK : result::kSyncReadFailed;
}

void DropConnection(SyncPipeClient& client) { client.pipe.Reset(); }

HRESULT Transact(SyncPipeClient& client, std::wstring_view pipePath, std::string_view pathText,
                 std::string_view json, std::string& reply) noexcept {
  if (pipePath.empty() || pathText.empty() || json.empty()) return result::kSyncMissingInput;
  try {
    client.name.assign(pipePath);
    return Exchange(client, pathText, json.substr(0, json.find('\0')), reply);
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) {
  }
  DropConnection(client);
  return result::kSyncOutOfMemory;
}

}  // namespace zx
