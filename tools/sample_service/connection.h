#pragma once
// One connection, start to end: read one request frame, log its payload,
// wait if asked, write the reply bytes the way the options say.
#include <windows.h>

#include "reply_composer.h"
#include "reply_options.h"
#include "request_log.h"

namespace zxsample {

// What every connection shares; read-only except for the log's own lock.
struct ConnectionSettings {
  const ReplyOptions& reply;
  const ReplyComposer& composer;
  RequestLog& log;
  HANDLE stopEvent;
};

// Requests above this size are refused by closing the connection; the
// service should not try to allocate whatever a broken length field says.
inline constexpr DWORD kMaxRequestBytes = 64u << 20;

// Serves one connected pipe instance with ioEvent for its overlapped I/O;
// the caller closes the instance afterwards. Returns true when a whole
// request was read and so counts as answered.
bool ServeConnection(HANDLE pipe, HANDLE ioEvent, const ConnectionSettings& settings);

}  // namespace zxsample
