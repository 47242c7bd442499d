#include "transport/async_pipe_transport.h"

#include <new>
#include <string_view>
#include <utility>

#include "request/ready_state.h"
#include "request/result_codes.h"
#include "transport/callback_window.h"
#include "transport/overlapped_pipe.h"

namespace zx {
namespace {

// How long teardown waits for the completion of one cancelled operation.
constexpr DWORD kCancelledIoWaitMs = 5000;

}  // namespace

// --- the script thread's side ----------------------------------------------

HRESULT AsyncPipeTransport::Connect(const std::wstring& pipePath) noexcept {
  if (!m_bWorkersStarted) {
    // One worker per processor, which is also the port's concurrency.
    const HRESULT hr = m_pool.Start(WorkerPool::ProcessorCount(), &WorkerThreadMain, this);
    if (hr != S_OK) return hr;
    m_bWorkersStarted = TRUE;
  }
  ReplacePipe(UniqueHandle());
  UniqueHandle pipe;
  const HRESULT hr = OpenAsyncPipe(pipePath, m_pool.Port(), pipe);
  ReplacePipe(std::move(pipe));
  return hr;
}

HRESULT AsyncPipeTransport::StartExchange(std::string requestFrame) noexcept {
  auto* context = new (std::nothrow) PipeIoContext(CurrentPipe(), std::move(requestFrame));
  if (!context) return result::kNoMemoryForContext;
  if (!AddPending(context)) {
    delete context;
    return result::kNoMemoryForContext;
  }
  const PostOutcome outcome = PostPipeWrite(*context, context->progress.PendingWrite());
  if (outcome.error == 0) return S_OK;
  ClosePipeOf(*context);
  ReleaseContext(context);
  return result::kStartWriteFailed;
}

// The workers go first, so nothing else touches the exchanges; the
// outstanding I/O is then cancelled and its completions collected before
// the contexts it writes into are freed.
void AsyncPipeTransport::Shutdown() noexcept {
  if (m_bWorkersStarted) {
    m_pool.Stop();
    DrainPendingIo();
    m_pool.ClosePort();
    m_bWorkersStarted = FALSE;
  }
  ReplacePipe(UniqueHandle());
}

// --- the workers -------------------------------------------------------------

DWORD WINAPI AsyncPipeTransport::WorkerThreadMain(void* transport) noexcept {
  return static_cast<AsyncPipeTransport*>(transport)->RunWorker();
}

DWORD AsyncPipeTransport::RunWorker() noexcept {
  const HANDLE port = m_pool.Port();  // set before any worker starts
  for (;;) {
    DWORD bytes = 0;
    ULONG_PTR key = 0;
    OVERLAPPED* overlapped = nullptr;
    const BOOL dequeued = GetQueuedCompletionStatus(port, &bytes, &key, &overlapped, INFINITE);
    if (!overlapped) {
      // A stop packet ends the worker; so does a port that fails itself,
      // which would fail again at once.
      if (!dequeued || key == kKeyStop) return 0;
      continue;
    }
    PipeIoContext& context = *ContextOf(overlapped);
    if (dequeued && key == kKeyPipeIo) {
      for (FinishedNow next = bytes; next;) next = OnCompleted(context, *next);
    } else {
      FailExchange(context, Notice::kSilent);
    }
  }
}

// A completion that moved nothing would be asked for again forever; on a
// byte pipe it only comes from a peer that is going away.
AsyncPipeTransport::FinishedNow AsyncPipeTransport::OnCompleted(PipeIoContext& context,
                                                                DWORD bytes) noexcept {
  if (bytes == 0) {
    FailExchange(context, Notice::kSilent);
    return std::nullopt;
  }
  if (context.operation == PipeOp::kWrite) return OnWriteCompleted(context, bytes);
  return OnReadCompleted(context, bytes);
}

AsyncPipeTransport::FinishedNow AsyncPipeTransport::OnWriteCompleted(PipeIoContext& context,
                                                                     DWORD bytes) noexcept {
  if (context.progress.OnWritten(bytes) == ExchangeEvent::kWriteMore) {
    return ContinueOrFail(context, PostPipeWrite(context, context.progress.PendingWrite()));
  }
  context.operation = PipeOp::kRead;
  return ReadNext(context);
}

// Once the length is known, the body's reads that find their bytes already
// in the pipe are handled here, one after the other, instead of each going
// through the port, where it would wake another worker.
AsyncPipeTransport::FinishedNow AsyncPipeTransport::OnReadCompleted(PipeIoContext& context,
                                                                    DWORD bytes) noexcept {
  switch (context.progress.OnRead(std::string_view(context.readBuffer, bytes))) {
    case ExchangeEvent::kLengthKnown:
      m_sink.NotifyReadyState(ready_state::kLengthReceived, FALSE);
      FinishInlineFromNowOn(context);
      return ReadNext(context);
    case ExchangeEvent::kReadMore:
    case ExchangeEvent::kWriteMore:
      return ReadNext(context);
    case ExchangeEvent::kComplete:
      FinishExchange(context);
      break;
    case ExchangeEvent::kEmptyReply:  // 0xE00D0003
    case ExchangeEvent::kOverlong:    // 0xE00D0004
      FailExchange(context, Notice::kSilent);
      break;
    case ExchangeEvent::kOutOfMemory:
      // A length the process cannot hold fails like a lost connection.
      FailExchange(context, Notice::kDisconnection);
      break;
  }
  return std::nullopt;
}

AsyncPipeTransport::FinishedNow AsyncPipeTransport::ReadNext(PipeIoContext& context) noexcept {
  return ContinueOrFail(context, PostPipeRead(context, context.progress.ReadSize()));
}

// An operation that cannot start is a lost connection (0xE00D000B/C), except
// when the pipe says its peer has closed: that ends the exchange silently,
// as it does when the close is seen by the outstanding operation instead.
AsyncPipeTransport::FinishedNow AsyncPipeTransport::ContinueOrFail(
    PipeIoContext& context, const PostOutcome& outcome) noexcept {
  if (outcome.error == 0) return outcome.finishedNow ? FinishedNow(outcome.bytes) : std::nullopt;
  FailExchange(context, IsPeerGone(outcome.error) ? Notice::kSilent : Notice::kDisconnection);
  return std::nullopt;
}

void AsyncPipeTransport::FinishExchange(PipeIoContext& context) noexcept {
  EndExchange(context, ready_state::kComplete, context.progress.TakeResponse());
}

void AsyncPipeTransport::FailExchange(PipeIoContext& context, Notice notice) noexcept {
  ClosePipeOf(context);
  EndExchange(context,
              notice == Notice::kDisconnection ? ready_state::kDisconnected : kReadyStateUnchanged,
              std::string());
}

// Once the object has had the last word the worker touches nothing of it:
// the script may already be starting its next request. The handler
// reference is taken only for a thread known to have a window, so that it
// is always dropped on the script's thread.
void AsyncPipeTransport::EndExchange(PipeIoContext& context, LONG finalState,
                                     std::string response) noexcept {
  HWND window = nullptr;
  if (finalState != kReadyStateUnchanged) {
    window = CallbackWindowRegistry::Instance().FindThreadWindow(m_sink.CallbackThreadId());
  }
  Microsoft::WRL::ComPtr<IDispatch> handler =
      m_sink.EndExchange(finalState, std::move(response), window != nullptr);
  ReleaseContext(&context);
  if (handler) PostScriptCallback(window, std::move(handler), finalState);
}

// --- pending exchanges ---------------------------------------------------------

bool AsyncPipeTransport::AddPending(PipeIoContext* context) noexcept {
  try {
    CriticalSectionGuard guard(m_contextsLock);
    m_pending.insert(context);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

bool AsyncPipeTransport::HasPendingExchange() noexcept {
  CriticalSectionGuard guard(m_contextsLock);
  return !m_pending.empty();
}

void AsyncPipeTransport::ReleaseContext(PipeIoContext* context) noexcept {
  bool owned = false;
  {
    CriticalSectionGuard guard(m_contextsLock);
    owned = m_pending.erase(context) == 1;
  }
  if (owned) delete context;
}

// With the workers stopped, each pending exchange has exactly one operation
// outstanding or one completion queued. A context whose completion does not
// come is left allocated: the system may still write into it.
void AsyncPipeTransport::DrainPendingIo() noexcept {
  CancelPipeIo();
  while (HasPendingExchange()) {
    DWORD bytes = 0;
    ULONG_PTR key = 0;
    OVERLAPPED* overlapped = nullptr;
    const BOOL dequeued =
        GetQueuedCompletionStatus(m_pool.Port(), &bytes, &key, &overlapped, kCancelledIoWaitMs);
    if (overlapped) {
      ReleaseContext(ContextOf(overlapped));
    } else if (!dequeued) {
      return;
    }
  }
}

// --- the pipe handle -------------------------------------------------------------

HANDLE AsyncPipeTransport::CurrentPipe() noexcept {
  CriticalSectionGuard guard(m_pipeLock);
  return m_hPipe.Get();
}

void AsyncPipeTransport::ReplacePipe(UniqueHandle pipe) noexcept {
  CriticalSectionGuard guard(m_pipeLock);
  m_hPipe = std::move(pipe);
}

// Closes the exchange's pipe only while it is still the current one: a pipe
// that open has replaced was closed there already.
void AsyncPipeTransport::ClosePipeOf(const PipeIoContext& context) noexcept {
  CriticalSectionGuard guard(m_pipeLock);
  if (m_hPipe.Get() == context.pipe) m_hPipe.Reset();
}

void AsyncPipeTransport::CancelPipeIo() noexcept {
  CriticalSectionGuard guard(m_pipeLock);
  if (m_hPipe) CancelIoEx(m_hPipe.Get(), nullptr);
}

}  // namespace zx
