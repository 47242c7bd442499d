#pragma once
// The record of one asynchronous exchange. Its OVERLAPPED comes first, so
// the address a completion hands back is the context's own address.
#include <windows.h>

#include <atomic>
#include <cstddef>
#include <string>
#include <utility>

#include "transport/exchange_progress.h"

namespace zx {

// Completion keys of an asynchronous client's port.
inline constexpr ULONG_PTR kKeyPipeIo = 1;  // every pipe bound to the port
inline constexpr ULONG_PTR kKeyStop = 2;    // ends one worker

enum class PipeOp : DWORD { kRead = 0, kWrite = 1 };

struct PipeIoContext {
  PipeIoContext(HANDLE pipeHandle, std::string requestFrame) noexcept
      : pipe(pipeHandle), progress(std::move(requestFrame)) {}

  OVERLAPPED overlapped = {};
  PipeOp operation = PipeOp::kWrite;
  // Borrowed from the transport's m_hPipe for I/O; never closed through here.
  HANDLE pipe;
  // Set once operations on the pipe that finish at once no longer complete
  // through the port: whoever starts one handles its completion.
  bool finishesInline = false;
  // Set by an abort, read by the worker before it starts each operation:
  // the exchange then ends without a word to its owner.
  std::atomic<bool> abandoned{false};
  char readBuffer[kMaxReadPiece];
  ExchangeProgress progress;
};

static_assert(offsetof(PipeIoContext, overlapped) == 0, "completions hand back the OVERLAPPED");

inline PipeIoContext* ContextOf(OVERLAPPED* overlapped) {
  return reinterpret_cast<PipeIoContext*>(overlapped);
}

}  // namespace zx
