#include "transport/overlapped_pipe.h"

#include <algorithm>

#include "request/result_codes.h"

namespace zx {
namespace {

// Overlapped I/O, impersonation allowed to the service.
constexpr DWORD kAsyncPipeOpenFlags =
    FILE_FLAG_OVERLAPPED | SECURITY_SQOS_PRESENT | SECURITY_IMPERSONATION | FILE_ATTRIBUTE_NORMAL;
static_assert(kAsyncPipeOpenFlags == 0x40120080, "the service expects these open flags");
constexpr DWORD kWaitForInstanceMs = 100;
constexpr int kOpenAttempts = 5;
constexpr DWORD kOpenRetryDelayMs = 50;

bool InstanceAvailable(const std::wstring& pipePath) {
  return WaitNamedPipeW(pipePath.c_str(), kWaitForInstanceMs) || GetLastError() == ERROR_PIPE_BUSY;
}

// The five tries 50 ms apart are the only retry: no second wait for an instance.
UniqueFile OpenWithRetries(const std::wstring& pipePath) {
  UniqueFile file;
  for (int attempt = 0; attempt < kOpenAttempts && !file; ++attempt) {
    file.Reset(CreateFileW(pipePath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                           OPEN_EXISTING, kAsyncPipeOpenFlags, nullptr));
    if (!file) Sleep(kOpenRetryDelayMs);
  }
  return file;
}

// A call that finished at once still completes through the port.
DWORD Started(BOOL called) {
  if (called) return 0;
  const DWORD error = GetLastError();
  return error == ERROR_IO_PENDING ? 0 : error;
}

}  // namespace

HRESULT OpenAsyncPipe(const std::wstring& pipePath, HANDLE port, UniqueHandle& pipe) noexcept {
  pipe.Reset();
  if (!InstanceAvailable(pipePath)) return result::kAsyncNoPipeInstance;
  UniqueFile file = OpenWithRetries(pipePath);
  if (!file) return result::kAsyncOpenRetriesExhausted;
  if (!CreateIoCompletionPort(file.Get(), port, kKeyPipeIo, 0)) {
    return result::kBindCompletionPortFailed;
  }
  pipe.Reset(file.Detach());
  return S_OK;
}

DWORD PostPipeWrite(PipeIoContext& context, std::string_view bytes) noexcept {
  context.overlapped = OVERLAPPED{};
  return Started(WriteFile(context.pipe, bytes.data(), static_cast<DWORD>(bytes.size()), nullptr,
                           &context.overlapped));
}

DWORD PostPipeRead(PipeIoContext& context, std::size_t wanted) noexcept {
  context.overlapped = OVERLAPPED{};
  const DWORD count = static_cast<DWORD>(std::min(wanted, sizeof context.readBuffer));
  return Started(ReadFile(context.pipe, context.readBuffer, count, nullptr, &context.overlapped));
}

bool IsPeerGone(DWORD error) noexcept {
  return error == ERROR_BROKEN_PIPE || error == ERROR_PIPE_NOT_CONNECTED || error == ERROR_NO_DATA;
}

}  // namespace zx
