#include "raw_pipe_client.h"

#include "common/win_resources.h"

namespace zx::test {
namespace {

constexpr DWORD kWaitPipeMs = 100;
constexpr int kOpenAttempts = 5;
constexpr DWORD kOpenRetryMs = 50;

}  // namespace

DWORD RawConnect(const std::wstring& pipePath, UniqueFile& pipe) {
  if (!WaitNamedPipeW(pipePath.c_str(), kWaitPipeMs) && GetLastError() != ERROR_PIPE_BUSY) {
    return GetLastError();
  }
  DWORD error = ERROR_SUCCESS;
  for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
    pipe.Reset(CreateFileW(pipePath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                           OPEN_EXISTING, 0, nullptr));
    if (pipe) return ERROR_SUCCESS;
    error = GetLastError();
    Sleep(kOpenRetryMs);
  }
  return error;
}

namespace {

bool FrameComplete(const std::string& bytes) {
  if (bytes.size() < 4) return false;
  std::uint32_t length = 0;
  for (int i = 3; i >= 0; --i) length = length << 8 | static_cast<unsigned char>(bytes[i]);
  return bytes.size() - 4 >= length;
}

}  // namespace

RawReply RawExchange(const std::wstring& pipePath, std::string_view frameBytes,
                     ReadUntil until) {
  RawReply reply;
  UniqueFile pipe;
  reply.connectError = RawConnect(pipePath, pipe);
  if (reply.connectError != ERROR_SUCCESS) return reply;
  DWORD written = 0;
  if (!frameBytes.empty() &&
      !WriteFile(pipe.Get(), frameBytes.data(), static_cast<DWORD>(frameBytes.size()), &written,
                 nullptr)) {
    reply.endError = GetLastError();
    return reply;
  }
  std::string buffer(64 * 1024, '\0');
  DWORD read = 0;
  auto done = [&] { return until == ReadUntil::kFrameEnds && FrameComplete(reply.bytes); };
  while (!done()) {
    if (!ReadFile(pipe.Get(), buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr)) {
      reply.endError = GetLastError();
      break;
    }
    reply.bytes.append(buffer, 0, read);
  }
  return reply;
}

DWORD RawSendAndHangUp(const std::wstring& pipePath, std::string_view bytes) {
  UniqueFile pipe;
  if (DWORD error = RawConnect(pipePath, pipe)) return error;
  DWORD written = 0;
  if (!WriteFile(pipe.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) {
    return GetLastError();
  }
  return ERROR_SUCCESS;
}

std::string FrameHeader(std::uint32_t length) {
  return {static_cast<char>(length), static_cast<char>(length >> 8),
          static_cast<char>(length >> 16), static_cast<char>(length >> 24)};
}

std::string Frame(std::string_view payload) {
  return FrameHeader(static_cast<std::uint32_t>(payload.size())) + std::string(payload);
}

}  // namespace zx::test
