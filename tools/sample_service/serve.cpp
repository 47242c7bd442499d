#include "serve.h"

#include <cstdio>
#include <string>

#include "common/win_resources.h"
#include "connection.h"
#include "reply_composer.h"
#include "report.h"
#include "request_log.h"
#include "zxservice/registration.h"
#include "zxservice/server.h"

namespace zxsample {
namespace {

DWORD ReadWholeFile(const std::wstring& path, std::string& bytes) {
  zx::UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size{};
  if (!file || !GetFileSizeEx(file.Get(), &size)) return GetLastError();
  if (size.QuadPart == 0 || size.QuadPart > MAXDWORD) return ERROR_INVALID_DATA;
  bytes.resize(static_cast<size_t>(size.QuadPart));
  DWORD read = 0;
  if (!ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) {
    return GetLastError();
  }
  return read == bytes.size() ? ERROR_SUCCESS : ERROR_READ_FAULT;
}

// Through the named event if there is one, else on standard output. The
// event stays open for the rest of the process, so that a waiter that opens
// it late still finds it set.
void SignalReady(const std::wstring& eventName, zx::UniqueHandle& readyEvent) {
  if (eventName.empty()) {
    std::fputs("ready\n", stdout);
    std::fflush(stdout);
    return;
  }
  readyEvent.Reset(CreateEventW(nullptr, TRUE, FALSE, eventName.c_str()));
  if (readyEvent) SetEvent(readyEvent.Get());
}

// Each of the steps below returns an exit code: kExitDone to go on.

int LoadReplyFile(const ReplyOptions& reply, std::string& bytes) {
  if (reply.body != ReplyBody::kFile) return kExitDone;
  // An empty file is refused: --reply zero-length says that more plainly.
  DWORD error = ReadWholeFile(reply.filePath, bytes);
  return error ? ReportFailure(L"cannot read the reply file " + reply.filePath, error) : kExitDone;
}

int OpenLog(const std::wstring& path, RequestLog& log) {
  if (path.empty()) return kExitDone;
  DWORD error = log.Open(path);
  return error ? ReportFailure(L"cannot open the log " + path, error) : kExitDone;
}

// Listens first, so that a registered name always leads to a pipe.
int Publish(zxservice::Server& server, const ServiceOptions& options) {
  if (DWORD error = server.Listen()) {
    return ReportFailure(L"cannot create the pipe " + options.pipeName, error);
  }
  if (options.segment.empty()) return kExitDone;
  LSTATUS error = zxservice::RegisterPipeName(options.segment, options.pipeName, options.spRoot);
  return error ? ReportFailure(L"cannot register under " + options.spRoot + options.segment,
                               static_cast<DWORD>(error))
               : kExitDone;
}

}  // namespace

HANDLE CreateStopEvent(const ServiceOptions& options) {
  const wchar_t* name = options.stopEvent.empty() ? nullptr : options.stopEvent.c_str();
  return CreateEventW(nullptr, TRUE, FALSE, name);
}

int Serve(const ServiceOptions& options, HANDLE stopEvent,
          const std::function<void()>& onListening) {
  std::string fileBytes;
  RequestLog log;
  if (int failed = LoadReplyFile(options.reply, fileBytes)) return failed;
  if (int failed = OpenLog(options.logPath, log)) return failed;
  ReplyComposer composer(options.reply, std::move(fileBytes));
  ConnectionSettings settings{options.reply, composer, log};
  zxservice::Limits limits;
  limits.maxRequests = options.maxRequests;
  limits.runMilliseconds = options.exitAfterMs;
  limits.singleInstance = options.singleInstance;
  zxservice::Server server(
      options.pipeName,
      zxservice::RawHandler([&settings](zxservice::Connection& connection) {
        return ServeConnection(connection, settings);
      }),
      limits, stopEvent);
  if (int failed = Publish(server, options)) return failed;

  zx::UniqueHandle readyEvent;
  server.Run([&] {
    onListening();
    SignalReady(options.readyEvent, readyEvent);
  });
  if (options.unregisterAtExit) zxservice::UnregisterPipeName(options.segment, options.spRoot);
  return kExitDone;
}

}  // namespace zxsample
