#include "test_pipe_server.h"

#include <gtest/gtest.h>

#include <utility>

#include "protocol/request_frame.h"

namespace zx {
namespace {

std::wstring NewPipePath(const wchar_t* kind) {
  static std::atomic<int> counter{0};
  return std::wstring(L"\\\\.\\pipe\\zx-test-") + kind + L"-" +
         std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter);
}

}  // namespace

TestPipeServer::TestPipeServer(Handler handler, DWORD openMode) : m_path(NewPipePath(L"server")) {
  m_pipe.Reset(CreateNamedPipeW(m_path.c_str(), openMode,
                                PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT, 1, 4096, 4096, 0,
                                nullptr));
  EXPECT_TRUE(m_pipe) << "CreateNamedPipeW failed: " << GetLastError();
  if (m_pipe) m_thread = std::thread(&TestPipeServer::Serve, this, std::move(handler));
}

TestPipeServer::~TestPipeServer() {
  if (!m_thread.joinable()) return;
  m_stopping = true;
  if (!m_connected) {
    // Connects in place of the client that never came, so ConnectNamedPipe
    // returns. Write access only: duplex and inbound pipes both accept it.
    UniqueFile standIn(
        CreateFileW(m_path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  }
  m_thread.join();
}

void TestPipeServer::Serve(Handler handler) {
  const bool connected =
      ConnectNamedPipe(m_pipe.Get(), nullptr) || GetLastError() == ERROR_PIPE_CONNECTED;
  if (connected && !m_stopping) {
    m_connected = true;
    handler(m_pipe.Get());
  }
  m_pipe.Reset();
}

std::wstring TestPipeServer::UnusedPath() { return NewPipePath(L"absent"); }

bool ReadExactly(HANDLE pipe, std::string& bytes, DWORD count) {
  bytes.assign(count, '\0');
  for (DWORD done = 0; done < count;) {
    DWORD moved = 0;
    if (!ReadFile(pipe, &bytes[done], count - done, &moved, nullptr) || moved == 0) return false;
    done += moved;
  }
  return true;
}

std::string ReadFrame(HANDLE pipe) {
  std::string field, payload;
  if (!ReadExactly(pipe, field, kFrameLengthSize)) return {};
  if (!ReadExactly(pipe, payload, LoadFrameLength(field.data()))) return {};
  return field + payload;
}

bool WriteBytes(HANDLE pipe, std::string_view bytes) {
  DWORD written = 0;
  return WriteFile(pipe, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

std::string LengthField(std::uint32_t length) {
  std::string field(kFrameLengthSize, '\0');
  StoreFrameLength(length, &field[0]);
  return field;
}

void WaitForClientToClose(HANDLE pipe) {
  char byte;
  DWORD moved;
  while (ReadFile(pipe, &byte, 1, &moved, nullptr)) {
  }
}

}  // namespace zx
