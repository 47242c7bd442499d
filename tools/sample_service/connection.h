#pragma once
// One connection, start to end: read one request frame, log its payload,
// wait if asked, write the reply bytes the way the options say.
#include <windows.h>

#include "reply_composer.h"
#include "reply_options.h"
#include "request_log.h"
#include "zxservice/server.h"

namespace zxsample {

// What every connection shares; read-only except for the log's own lock.
struct ConnectionSettings {
  const ReplyOptions& reply;
  const ReplyComposer& composer;
  RequestLog& log;
};

// Serves one connected client. Returns true when a whole request was read
// and so counts as answered.
bool ServeConnection(zxservice::Connection& connection, const ConnectionSettings& settings);

}  // namespace zxsample
