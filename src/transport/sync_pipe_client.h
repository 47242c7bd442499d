#pragma once
// The blocking request/reply exchange of the synchronous mode: a short-lived
// client connects to the service's pipe, writes one request frame and reads
// one reply frame. A frame is a 4-byte little-endian length, then that many
// bytes.
#include <windows.h>

#include <string>
#include <string_view>

#include "common/win_resources.h"

namespace zx {

// One exchange's connection: the pipe path and, once connected, the pipe.
// Destroying the client closes the pipe.
struct SyncPipeClient {
  std::wstring name;
  UniqueFile pipe;
};

// Sends pathText + "?json=" + json, zero bytes included, to the pipe at
// pipePath and reads the reply. Returns 0 with the reply moved into reply, or
// kSyncMissingInput (pipePath, pathText or json empty; nothing is connected),
// kSyncNoPipeInstance, kSyncOpenRetriesExhausted, kSyncWriteFailed, kSyncReadFailed,
// kSyncEmptyReply (reply length 0) or kSyncOutOfMemory (out of memory, or a reply announced longer
// than kMaxReplyLength); reply is untouched on failure. The pipe stays open until the client is
// destroyed.
HRESULT Transact(SyncPipeClient& client, std::wstring_view pipePath, std::string_view pathText,
                 std::string_view json, std::string& reply) noexcept;

}  // namespace zx
