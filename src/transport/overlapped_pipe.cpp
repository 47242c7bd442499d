#include "transport/overlapped_pipe.h"

#include <algorithm>

#include "protocol/result_codes.h"

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

// finishesInline is the context's mode from before the call: once an
// operation is under way that completes through the port, the context
// belongs to the worker that dequeues it and must not be read here.
PostOutcome Started(PipeIoContext& context, bool finishesInline, BOOL called) {
  PostOutcome outcome;
  if (!called) {
    const DWORD error = GetLastError();
    if (error != ERROR_IO_PENDING) outcome.error = error;
  } else if (finishesInline) {
    outcome.finishedNow = true;
    GetOverlappedResult(context.pipe, &context.overlapped, &outcome.bytes, FALSE);
  }
  return outcome;
}

using SetCompletionModesFunction = BOOL(WINAPI*)(HANDLE, UCHAR);

// Looked up by name: the module also loads on systems without it.
SetCompletionModesFunction SetCompletionModes() {
  static const auto function = reinterpret_cast<SetCompletionModesFunction>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetFileCompletionNotificationModes")));
  return function;
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

PostOutcome PostPipeWrite(PipeIoContext& context, std::string_view bytes) noexcept {
  context.overlapped = OVERLAPPED{};
  const bool finishesInline = context.finishesInline;
  return Started(context, finishesInline,
                 WriteFile(context.pipe, bytes.data(), static_cast<DWORD>(bytes.size()), nullptr,
                           &context.overlapped));
}

PostOutcome PostPipeRead(PipeIoContext& context, std::size_t wanted) noexcept {
  context.overlapped = OVERLAPPED{};
  const DWORD count = static_cast<DWORD>(std::min(wanted, sizeof context.readBuffer));
  const bool finishesInline = context.finishesInline;
  return Started(context, finishesInline,
                 ReadFile(context.pipe, context.readBuffer, count, nullptr, &context.overlapped));
}

bool FinishInlineFromNowOn(PipeIoContext& context) noexcept {
  const SetCompletionModesFunction setModes = SetCompletionModes();
  if (!context.finishesInline && setModes &&
      setModes(context.pipe, FILE_SKIP_COMPLETION_PORT_ON_SUCCESS)) {
    context.finishesInline = true;
  }
  return context.finishesInline;
}

}  // namespace zx
