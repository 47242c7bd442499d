#pragma once
// The asynchronous mode's connection and the two calls that start I/O on
// it. Completions, also of calls that finish at once, arrive through the
// completion port the pipe is bound to.
#include <windows.h>

#include <string>
#include <string_view>

#include "common/win_resources.h"
#include "transport/pipe_io_context.h"

namespace zx {

// Waits up to 100 ms for an instance, then up to five attempts 50 ms apart
// to open it, and binds it to port under kKeyPipeIo. Returns 0 with pipe set,
// or kAsyncNoPipeInstance (no instance), kAsyncOpenRetriesExhausted (every attempt failed) or
// kBindCompletionPortFailed (binding failed) with pipe empty.
HRESULT OpenAsyncPipe(const std::wstring& pipePath, HANDLE port, UniqueHandle& pipe) noexcept;

// How starting an operation went.
struct PostOutcome {
  DWORD error = 0;           // 0: under way or done; else the Win32 error
  bool finishedNow = false;  // done at once, and no completion follows (see below)
  DWORD bytes = 0;           // what it moved, when finishedNow
};

// Start an overlapped write of bytes / a read of up to `wanted` bytes (at
// most the context's buffer) on the context's pipe, with a cleared
// OVERLAPPED. An operation that finishes at once still completes through
// the port, unless the context finishes such operations inline.
PostOutcome PostPipeWrite(PipeIoContext& context, std::string_view bytes) noexcept;
PostOutcome PostPipeRead(PipeIoContext& context, std::size_t wanted) noexcept;

// Makes the context's pipe leave out of the port the completions of
// operations that finish at once, for the caller to handle inline. False
// where the system cannot (before Vista); nothing changes then.
bool FinishInlineFromNowOn(PipeIoContext& context) noexcept;

}  // namespace zx
