#include "transport/async_pipe_transport.h"

#include <new>
#include <string_view>
#include <utility>

#include "protocol/result_codes.h"
#include "transport/overlapped_pipe.h"

namespace zx {
namespace {

// How long teardown waits for the completion of one cancelled operation.
constexpr DWORD kCancelledIoWaitMs = 5000;

}  // namespace

// --- the owner's thread ----------------------------------------------

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

// The marks come first: a worker about to start an operation then either
// sees its mark or has started it before the cancel, which ends it.
bool AsyncPipeTransport::AbortExchanges() noexcept {
  {
    CriticalSectionGuard guard(m_contextsLock);
    for (PipeIoContext* context : m_pending) context->abandoned = true;
  }
  CancelPipeIo();
  if (!WaitUntilNoPending(kCancelledIoWaitMs)) return false;
  // Half an exchange is left in the pipe; the service sees the close.
  ReplacePipe(UniqueHandle());
  return true;
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
      FailExchange(context);
    }
  }
}

// A completion that moved nothing would be asked for again forever; on a
// byte pipe it only comes from a peer that is going away.
AsyncPipeTransport::FinishedNow AsyncPipeTransport::OnCompleted(PipeIoContext& context,
                                                                DWORD bytes) noexcept {
  if (bytes == 0) {
    FailExchange(context);
    return std::nullopt;
  }
  if (context.operation == PipeOp::kWrite) return OnWriteCompleted(context, bytes);
  return OnReadCompleted(context, bytes);
}

AsyncPipeTransport::FinishedNow AsyncPipeTransport::OnWriteCompleted(PipeIoContext& context,
                                                                     DWORD bytes) noexcept {
  if (context.progress.OnWritten(bytes) == ExchangeEvent::kWriteMore) {
    return ContinueOrFail(context, StartUnlessAbandoned(context, [&] {
                            return PostPipeWrite(context, context.progress.PendingWrite());
                          }));
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
      m_sink.OnReplyLengthKnown();
      FinishInlineFromNowOn(context);
      return ReadNext(context);
    case ExchangeEvent::kReadMore:
    case ExchangeEvent::kWriteMore:
      return ReadNext(context);
    case ExchangeEvent::kComplete:
      FinishExchange(context);
      break;
    // A reply that is empty or longer than announced, or whose length the
    // process cannot hold, fails like a lost connection.
    case ExchangeEvent::kEmptyReply:
    case ExchangeEvent::kOverlong:
    case ExchangeEvent::kOutOfMemory:
      FailExchange(context);
      break;
  }
  return std::nullopt;
}

AsyncPipeTransport::FinishedNow AsyncPipeTransport::ReadNext(PipeIoContext& context) noexcept {
  return ContinueOrFail(context, StartUnlessAbandoned(context, [&] {
                          return PostPipeRead(context, context.progress.ReadSize());
                        }));
}

// An operation that cannot start is a lost connection, as is one that fails.
AsyncPipeTransport::FinishedNow AsyncPipeTransport::ContinueOrFail(
    PipeIoContext& context, const PostOutcome& outcome) noexcept {
  if (outcome.error == 0) return outcome.finishedNow ? FinishedNow(outcome.bytes) : std::nullopt;
  FailExchange(context);
  return std::nullopt;
}

// Under the pipe lock, which an abort holds while it cancels (see
// AbortExchanges). The mark is read before the operation starts: once it
// is under way, the context belongs to the worker that dequeues it.
template <class StartIo>
PostOutcome AsyncPipeTransport::StartUnlessAbandoned(PipeIoContext& context,
                                                     StartIo start) noexcept {
  CriticalSectionGuard guard(m_pipeLock);
  if (context.abandoned) return PostOutcome{ERROR_OPERATION_ABORTED};
  return start();
}

void AsyncPipeTransport::FinishExchange(PipeIoContext& context) noexcept {
  EndExchange(context, ExchangeEnd::kReplied, context.progress.TakeResponse());
}

// Every way an exchange fails after it has started is reported as a peer
// that went away, as the synchronous mode reports it.
void AsyncPipeTransport::FailExchange(PipeIoContext& context) noexcept {
  ClosePipeOf(context);
  EndExchange(context, ExchangeEnd::kLost, std::string());
}

// An abandoned exchange ends without a word: the abort that waits for it
// re-arms the owner.
void AsyncPipeTransport::EndExchange(PipeIoContext& context, ExchangeEnd end,
                                     std::string reply) noexcept {
  if (!context.abandoned) m_sink.OnExchangeEnded(end, std::move(reply));
  ReleaseContext(&context);
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
    if (m_pending.empty()) WakeAllConditionVariable(&m_pendingEmptied);
  }
  if (owned) delete context;
}

bool AsyncPipeTransport::WaitUntilNoPending(DWORD timeoutMs) noexcept {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  CriticalSectionGuard guard(m_contextsLock);
  while (!m_pending.empty()) {
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline || !SleepConditionVariableCS(&m_pendingEmptied, &m_contextsLock.Native(),
                                                     static_cast<DWORD>(deadline - now))) {
      return m_pending.empty();
    }
  }
  return true;
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
