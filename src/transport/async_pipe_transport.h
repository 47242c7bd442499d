#pragma once
// One client's asynchronous exchanges: a completion port and its worker
// threads, an overlapped pipe and the exchanges in flight. The owner starts
// each exchange; the workers finish it and report through the owner's
// IAsyncExchangeSink.
#include <windows.h>

#include <optional>
#include <set>
#include <string>

#include "common/win_resources.h"
#include "transport/async_exchange_sink.h"
#include "transport/overlapped_pipe.h"
#include "transport/pipe_io_context.h"
#include "transport/worker_pool.h"

namespace zx {

class AsyncPipeTransport {
 public:
  explicit AsyncPipeTransport(IAsyncExchangeSink& sink) noexcept : m_sink(sink) {}
  ~AsyncPipeTransport() { Shutdown(); }
  AsyncPipeTransport(const AsyncPipeTransport&) = delete;
  AsyncPipeTransport& operator=(const AsyncPipeTransport&) = delete;

  // Starts the workers once, closes the current pipe and connects a new one.
  // Returns 0 or the code of the pool start or of OpenAsyncPipe.
  HRESULT Connect(const std::wstring& pipePath) noexcept;
  // Queues an exchange of requestFrame and starts its write. Returns 0,
  // kNoMemoryForContext (no memory for it), or kStartWriteFailed (the write did not start;
  // the pipe is closed).
  HRESULT StartExchange(std::string requestFrame) noexcept;
  // Ends the exchanges in flight without a word to the owner: cancels
  // their I/O, waits until the workers have collected the completions and
  // closes the pipe. False when a completion did not come in time; the
  // exchange is then still pending.
  bool AbortExchanges() noexcept;
  // Stops the workers, ends the I/O still outstanding, frees the exchanges
  // and closes the port and the pipe. Runs once; later calls do nothing.
  void Shutdown() noexcept;

 private:
  // What a completion handler leaves for the worker: the bytes of the
  // exchange's next operation when that finished at once and is the
  // worker's to handle; nothing when the port will report it or the
  // exchange has ended.
  using FinishedNow = std::optional<DWORD>;

  static DWORD WINAPI WorkerThreadMain(void* transport) noexcept;
  DWORD RunWorker() noexcept;
  FinishedNow OnCompleted(PipeIoContext& context, DWORD bytes) noexcept;
  FinishedNow OnWriteCompleted(PipeIoContext& context, DWORD bytes) noexcept;
  FinishedNow OnReadCompleted(PipeIoContext& context, DWORD bytes) noexcept;
  FinishedNow ReadNext(PipeIoContext& context) noexcept;
  FinishedNow ContinueOrFail(PipeIoContext& context, const PostOutcome& outcome) noexcept;
  template <class StartIo>
  PostOutcome StartUnlessAbandoned(PipeIoContext& context, StartIo start) noexcept;
  void FinishExchange(PipeIoContext& context) noexcept;
  void FailExchange(PipeIoContext& context) noexcept;
  void EndExchange(PipeIoContext& context, ExchangeEnd end, std::string reply) noexcept;

  bool AddPending(PipeIoContext* context) noexcept;
  bool HasPendingExchange() noexcept;
  bool WaitUntilNoPending(DWORD timeoutMs) noexcept;
  void ReleaseContext(PipeIoContext* context) noexcept;
  void DrainPendingIo() noexcept;

  HANDLE CurrentPipe() noexcept;
  void ReplacePipe(UniqueHandle pipe) noexcept;
  void ClosePipeOf(const PipeIoContext& context) noexcept;
  void CancelPipeIo() noexcept;

  IAsyncExchangeSink& m_sink;
  // The completion port and the worker thread handles.
  WorkerPool m_pool;
  // Read and written only by Connect and Shutdown on the owner's thread.
  BOOL m_bWorkersStarted = FALSE;
  // Guards m_hPipe: every read, replacement and close of it happens under
  // this lock, so the handle is closed exactly once. Besides those, only
  // the start of an operation and the cancelling of them are called while
  // it is held, so that an abort cannot fall between a worker's look at
  // the abandoned mark and the operation it then starts.
  CriticalSection m_pipeLock;
  UniqueHandle m_hPipe;
  // Guards m_pending and the abandoned marks of its exchanges. Nothing
  // else is called while it is held.
  CriticalSection m_contextsLock;
  // Every exchange whose I/O may still complete; each is freed exactly once,
  // by whoever takes it out of the set.
  std::set<PipeIoContext*> m_pending;
  // Woken when m_pending becomes empty, for an abort waiting on it.
  CONDITION_VARIABLE m_pendingEmptied = CONDITION_VARIABLE_INIT;
};

}  // namespace zx
