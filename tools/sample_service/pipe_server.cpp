#include "pipe_server.h"

namespace zxsample {
namespace {

constexpr DWORD kBufferBytes = 64 * 1024;
// What WaitNamedPipeW(NMPWAIT_USE_DEFAULT_WAIT) waits for an instance.
constexpr DWORD kDefaultWaitMs = 5000;
// Between attempts when the system refuses a new instance or a connect.
constexpr DWORD kRetryPauseMs = 50;

}  // namespace

PipeServer::PipeServer(std::wstring pipePath, ConnectionHandler handler, HANDLE stopEvent,
                       Limits limits)
    : m_pipePath(std::move(pipePath)),
      m_handler(std::move(handler)),
      m_stop(stopEvent),
      m_limits(limits),
      m_connectDone(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      m_idle(CreateEventW(nullptr, TRUE, TRUE, nullptr)),
      m_pool([this](zx::UniqueHandle pipe) { ServeAndCount(std::move(pipe)); }) {}

DWORD PipeServer::Listen() {
  if (!m_connectDone || !m_idle) return ERROR_NOT_ENOUGH_MEMORY;
  // FILE_FLAG_FIRST_PIPE_INSTANCE alone is not enforced everywhere (Wine):
  // an instance that answers, or is busy, belongs to another server.
  if (WaitNamedPipeW(m_pipePath.c_str(), 1) || GetLastError() == ERROR_SEM_TIMEOUT) {
    return ERROR_ACCESS_DENIED;
  }
  return CreateInstance(true, m_listening);
}

void PipeServer::Run() {
  ULONGLONG deadline = m_limits.runMilliseconds ? GetTickCount64() + m_limits.runMilliseconds : 0;
  while (AwaitClient(deadline)) {
    zx::UniqueHandle connected = std::move(m_listening);
    // The next listener exists before the connected instance is served or
    // closed; if it cannot be made now, EnsureListening keeps trying.
    CreateInstance(false, m_listening);
    StartConnection(std::move(connected));
  }
  m_listening.Reset();
  WaitForSingleObject(m_idle.Get(), INFINITE);
}

DWORD PipeServer::CreateInstance(bool first, zx::UniqueHandle& instance) {
  DWORD openMode = PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED;
  if (first) openMode |= FILE_FLAG_FIRST_PIPE_INSTANCE;
  HANDLE pipe = CreateNamedPipeW(m_pipePath.c_str(), openMode,
                                 PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT,
                                 PIPE_UNLIMITED_INSTANCES, kBufferBytes, kBufferBytes,
                                 kDefaultWaitMs, m_security.Attributes());
  if (pipe == INVALID_HANDLE_VALUE) return GetLastError();
  instance.Reset(pipe);
  return ERROR_SUCCESS;
}

bool PipeServer::EnsureListening() {
  while (!m_listening) {
    if (CreateInstance(false, m_listening) == ERROR_SUCCESS) return true;
    if (WaitForSingleObject(m_stop, kRetryPauseMs) != WAIT_TIMEOUT) return false;
  }
  return true;
}

DWORD PipeServer::TimeLeft(ULONGLONG deadline) {
  if (deadline == 0) return INFINITE;
  ULONGLONG now = GetTickCount64();
  return now < deadline ? static_cast<DWORD>(deadline - now) : 0;
}

bool PipeServer::AwaitClient(ULONGLONG deadline) {
  while (EnsureListening()) {
    switch (ConnectListening(deadline)) {
      case Connect::Connected:
        return true;
      case Connect::Stopping:
        return false;
      case Connect::ClientLeft:
        DisconnectNamedPipe(m_listening.Get());
        break;
      case Connect::Failed:
        DisconnectNamedPipe(m_listening.Get());
        if (WaitForSingleObject(m_stop, kRetryPauseMs) != WAIT_TIMEOUT) return false;
        break;
    }
  }
  return false;
}

PipeServer::Connect PipeServer::ConnectListening(ULONGLONG deadline) {
  HANDLE pipe = m_listening.Get();
  OVERLAPPED overlapped{};
  overlapped.hEvent = m_connectDone.Get();
  ResetEvent(overlapped.hEvent);
  if (ConnectNamedPipe(pipe, &overlapped) || GetLastError() == ERROR_PIPE_CONNECTED) {
    return Connect::Connected;
  }
  if (GetLastError() == ERROR_NO_DATA) return Connect::ClientLeft;
  if (GetLastError() != ERROR_IO_PENDING) return Connect::Failed;

  HANDLE waits[] = {overlapped.hEvent, m_stop};
  bool stopping = WaitForMultipleObjects(2, waits, FALSE, TimeLeft(deadline)) != WAIT_OBJECT_0;
  if (stopping) {
    SetEvent(m_stop);  // when the deadline passed
    CancelIo(pipe);
  }
  // Waits for the cancellation too: the OVERLAPPED must outlive the I/O.
  DWORD unused = 0;
  bool connected = GetOverlappedResult(pipe, &overlapped, &unused, TRUE);
  if (stopping) return Connect::Stopping;
  return connected ? Connect::Connected : Connect::Failed;
}

void PipeServer::StartConnection(zx::UniqueHandle pipe) {
  ConnectionStarted();
  // Without a thread to spare, serve here while the next client waits on
  // the new listening instance.
  if (!m_pool.Dispatch(pipe)) ServeAndCount(std::move(pipe));
}

void PipeServer::ServeAndCount(zx::UniqueHandle pipe) {
  bool answered = false;
  try {
    answered = m_handler(pipe.Get());
  } catch (...) {
    // Out of memory for a large request or reply: drop this connection only.
  }
  // Closed, not disconnected: the client can still read what is in the pipe.
  pipe.Reset();
  ConnectionEnded(answered);
}

void PipeServer::ConnectionStarted() {
  zx::CriticalSectionGuard guard(m_lock);
  if (m_active++ == 0) ResetEvent(m_idle.Get());
}

void PipeServer::ConnectionEnded(bool answered) {
  zx::CriticalSectionGuard guard(m_lock);
  if (answered && ++m_answered == m_limits.maxRequests) SetEvent(m_stop);
  if (--m_active == 0) SetEvent(m_idle.Get());
}

}  // namespace zxsample
