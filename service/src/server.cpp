#include "zxservice/server.h"

#include <exception>

#include "common/pipe_names.h"
#include "pipe_server.h"
#include "protocol/reply_frame_reader.h"
#include "protocol/request_frame.h"

namespace zxservice {
namespace {

Request SplitRequest(std::string_view payload) {
  const size_t separator = payload.find(zx::kJsonSeparator);
  if (separator == std::string_view::npos) return {payload, {}};
  return {payload.substr(0, separator), payload.substr(separator + zx::kJsonSeparator.size())};
}

// The handler's body, or the error reply for what no client would take.
std::string BodyFor(const Handler& handler, const Request& request) {
  try {
    std::string body = handler(request);
    if (!body.empty() && body.size() <= zx::kMaxReplyLength) return body;
  } catch (const std::exception&) {
    // The handler's failure is the client's answer, not the server's end.
  }
  return ErrorCodeReply(E_FAIL);
}

bool Answer(Connection& connection, const Handler& handler) {
  std::string payload;
  if (!connection.ReadRequest(payload)) return false;
  const std::string body = BodyFor(handler, SplitRequest(payload));
  std::string frame(zx::kFrameLengthSize, '\0');
  zx::StoreFrameLength(static_cast<std::uint32_t>(body.size()), frame.data());
  frame += body;
  connection.Write(frame);
  return true;
}

}  // namespace

std::string ErrorCodeReply(std::int32_t code) {
  return "{\"error_code\":\"" + std::to_string(code) + "\"}";
}

Server::Server(std::wstring pipeName, Handler handler, const Limits& limits, HANDLE stopEvent)
    : Server(std::move(pipeName),
             RawHandler([handler = std::move(handler)](Connection& connection) {
               return Answer(connection, handler);
             }),
             limits, stopEvent) {}

Server::Server(std::wstring pipeName, RawHandler handler, const Limits& limits, HANDLE stopEvent)
    : m_ownStop(stopEvent ? nullptr : CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      m_stop(stopEvent ? stopEvent : m_ownStop.Get()),
      m_pipes(std::make_unique<PipeServer>(zx::kPipePathPrefix + pipeName, std::move(handler),
                                           m_stop, limits)) {}

Server::~Server() = default;

DWORD Server::Listen() { return m_stop ? m_pipes->Listen() : ERROR_NOT_ENOUGH_MEMORY; }

// Without a stop event nothing could end the run: it does not start.
void Server::Run(const std::function<void()>& onListening) {
  if (m_stop) m_pipes->Run(onListening);
}

void Server::Stop() { SetEvent(m_stop); }

}  // namespace zxservice
