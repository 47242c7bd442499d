#include "pipe_server.h"

#include <memory>

namespace zxservice {
namespace {

constexpr DWORD kBufferBytes = 64 * 1024;
// What WaitNamedPipeW(NMPWAIT_USE_DEFAULT_WAIT) waits for an instance.
constexpr DWORD kDefaultWaitMs = 5000;
// Between attempts when the system refuses a new instance or a connect.
constexpr DWORD kRetryPauseMs = 50;
constexpr DWORD kListenerStackBytes = 64 * 1024;

// What a new listener thread starts with.
struct ListenerStart {
  PipeServer* server;
  zx::UniqueHandle instance;
};

}  // namespace

PipeServer::PipeServer(std::wstring pipePath, RawHandler handler, HANDLE stopEvent,
                       const Limits& limits)
    : m_pipePath(std::move(pipePath)),
      m_handler(std::move(handler)),
      m_stop(stopEvent),
      m_limits(limits) {}

DWORD PipeServer::Listen() {
  // FILE_FLAG_FIRST_PIPE_INSTANCE alone is not enforced everywhere (Wine):
  // an instance that answers, or is busy, belongs to another server.
  if (WaitNamedPipeW(m_pipePath.c_str(), 1) || GetLastError() == ERROR_SEM_TIMEOUT) {
    return ERROR_ACCESS_DENIED;
  }
  return CreateInstance(true, m_firstInstance);
}

void PipeServer::Run(std::function<void()> onListening) {
  m_onListening = std::move(onListening);
  if (!StartListener(std::move(m_firstInstance))) SetEvent(m_stop);
  const DWORD limit = m_limits.runMilliseconds ? m_limits.runMilliseconds : INFINITE;
  if (WaitForSingleObject(m_stop, limit) == WAIT_TIMEOUT) SetEvent(m_stop);
  JoinListeners();
}

bool PipeServer::StartListener(zx::UniqueHandle instance) {
  zx::CriticalSectionGuard guard(m_lock);
  if (m_joining) return false;
  auto start = std::make_unique<ListenerStart>(ListenerStart{this, std::move(instance)});
  HANDLE thread = CreateThread(nullptr, kListenerStackBytes, ListenerThread, start.get(),
                               STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
  if (!thread) return false;
  start.release();
  m_listeners.emplace_back(thread);
  return true;
}

DWORD WINAPI PipeServer::ListenerThread(void* start) {
  std::unique_ptr<ListenerStart> owned(static_cast<ListenerStart*>(start));
  owned->server->ListenAndServe(std::move(owned->instance));
  return 0;
}

void PipeServer::ListenAndServe(zx::UniqueHandle instance) {
  // One event for the thread's whole life: every overlapped call resets it
  // when it starts.
  zx::UniqueHandle ioEvent(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  while (ioEvent && EnsureInstance(instance)) {
    switch (AwaitClient(instance.Get(), ioEvent.Get())) {
      case Connect::kConnected:
        Serve(instance, ioEvent.Get());
        break;
      case Connect::kClientLeft:
        DisconnectNamedPipe(instance.Get());
        break;
      case Connect::kFailed:
        DisconnectNamedPipe(instance.Get());
        if (WaitForSingleObject(m_stop, kRetryPauseMs) != WAIT_TIMEOUT) return;
        break;
      case Connect::kStopping:
        return;
    }
  }
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

bool PipeServer::EnsureInstance(zx::UniqueHandle& instance) {
  while (!instance) {
    if (CreateInstance(false, instance) == ERROR_SUCCESS) return true;
    if (WaitForSingleObject(m_stop, kRetryPauseMs) != WAIT_TIMEOUT) return false;
  }
  return true;
}

PipeServer::Connect PipeServer::AwaitClient(HANDLE instance, HANDLE ioEvent) {
  {
    zx::CriticalSectionGuard guard(m_lock);
    ++m_waiting;
  }
  const Connect result = ConnectInstance(instance, ioEvent);
  if (result == Connect::kConnected) {
    KeepOneListening();
  } else {
    zx::CriticalSectionGuard guard(m_lock);
    --m_waiting;
  }
  return result;
}

PipeServer::Connect PipeServer::ConnectInstance(HANDLE instance, HANDLE ioEvent) {
  OVERLAPPED overlapped{};
  overlapped.hEvent = ioEvent;
  const BOOL connectedAtOnce = ConnectNamedPipe(instance, &overlapped);
  const DWORD error = connectedAtOnce ? ERROR_SUCCESS : GetLastError();
  AnnounceListening();
  if (connectedAtOnce || error == ERROR_PIPE_CONNECTED) return Connect::kConnected;
  if (error == ERROR_NO_DATA) return Connect::kClientLeft;
  if (error != ERROR_IO_PENDING) return Connect::kFailed;

  HANDLE waits[] = {ioEvent, m_stop};
  const bool stopping = WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0;
  if (stopping) CancelIo(instance);
  // Waits for the cancellation too: the OVERLAPPED must outlive the I/O.
  DWORD unused = 0;
  const bool connected = GetOverlappedResult(instance, &overlapped, &unused, TRUE);
  if (stopping) return Connect::kStopping;
  return connected ? Connect::kConnected : Connect::kFailed;
}

// The next instance exists before this thread turns to its client; if no
// thread can be started for it now, this thread listens again after serving.
// A single-instance server only ever listens again after serving.
void PipeServer::KeepOneListening() {
  bool lastListener;
  {
    zx::CriticalSectionGuard guard(m_lock);
    lastListener = --m_waiting == 0;
  }
  if (!lastListener || m_limits.singleInstance) return;
  zx::UniqueHandle next;
  if (CreateInstance(false, next) == ERROR_SUCCESS) StartListener(std::move(next));
}

void PipeServer::AnnounceListening() {
  std::function<void()> announce;
  {
    zx::CriticalSectionGuard guard(m_lock);
    announce = std::move(m_onListening);
    m_onListening = nullptr;
  }
  if (announce) announce();
}

// Afterwards the served instance is closed, not disconnected, so that the
// client can still read what is in the pipe. A single-instance server makes
// its next instance first, so that the pipe's name never disappears.
void PipeServer::Serve(zx::UniqueHandle& instance, HANDLE ioEvent) {
  bool answered = false;
  try {
    Connection connection(instance.Get(), m_stop, ioEvent, m_limits);
    answered = m_handler(connection);
  } catch (...) {
    // Out of memory for a large request or reply: drop this connection only.
  }
  zx::UniqueHandle next;
  if (m_limits.singleInstance) CreateInstance(false, next);
  instance = std::move(next);
  ConnectionEnded(answered);
}

void PipeServer::ConnectionEnded(bool answered) {
  zx::CriticalSectionGuard guard(m_lock);
  if (answered && ++m_answered == m_limits.maxRequests) SetEvent(m_stop);
}

// After the stop event no listener starts, so the list stops growing and
// every thread in it ends once its connection has.
void PipeServer::JoinListeners() {
  {
    zx::CriticalSectionGuard guard(m_lock);
    m_joining = true;
  }
  for (const zx::UniqueHandle& listener : m_listeners) {
    WaitForSingleObject(listener.Get(), INFINITE);
  }
  m_listeners.clear();
}

}  // namespace zxservice
