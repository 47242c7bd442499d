#include "support/raw_pipe_client.h"

namespace zx::test {

DWORD RawConnect(const std::wstring& pipePath, UniqueFile& pipe) {
  if (!WaitNamedPipeW(pipePath.c_str(), 100) && GetLastError() != ERROR_PIPE_BUSY) {
    return GetLastError();
  }
  DWORD error = ERROR_SUCCESS;
  for (int attempt = 0; attempt < 5; ++attempt, Sleep(50)) {
    pipe.Reset(CreateFileW(pipePath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                           OPEN_EXISTING, 0, nullptr));
    if (pipe) return ERROR_SUCCESS;
    error = GetLastError();
  }
  return error;
}

DWORD RawSendAndHangUp(const std::wstring& pipePath, std::string_view bytes) {
  UniqueFile pipe;
  if (const DWORD error = RawConnect(pipePath, pipe)) return error;
  DWORD written = 0;
  const bool sent =
      WriteFile(pipe.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  return sent ? ERROR_SUCCESS : GetLastError();
}

RawReply RawExchange(const std::wstring& pipePath, std::string_view frameBytes) {
  RawReply reply;
  UniqueFile pipe;
  reply.connectError = RawConnect(pipePath, pipe);
  if (reply.connectError != ERROR_SUCCESS) return reply;
  DWORD count = 0;
  if (!frameBytes.empty() && !WriteFile(pipe.Get(), frameBytes.data(),
                                        static_cast<DWORD>(frameBytes.size()), &count, nullptr)) {
    reply.endError = GetLastError();
    return reply;
  }
  std::string buffer(64 * 1024, '\0');
  while (ReadFile(pipe.Get(), buffer.data(), static_cast<DWORD>(buffer.size()), &count, nullptr)) {
    reply.bytes.append(buffer, 0, count);
  }
  reply.endError = GetLastError();
  return reply;
}

}  // namespace zx::test
