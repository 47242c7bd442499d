#include "connection.h"

#include <string>

namespace zxsample {
namespace {

bool WriteReply(zxservice::Connection& connection, std::string_view bytes,
                const ReplyOptions& options) {
  switch (options.writes) {
    case WritePattern::kOneWrite:
      return connection.Write(bytes);
    case WritePattern::kManyWrites:
      return connection.Write(bytes.substr(0, 4)) &&
             (bytes.size() <= 4 || connection.Write(bytes.substr(4)));
    case WritePattern::kDrip:
      for (size_t offset = 0; offset < bytes.size(); offset += options.dripPiece) {
        if (offset != 0 && !connection.Pause(options.dripDelayMs)) return false;
        if (!connection.Write(bytes.substr(offset, options.dripPiece))) return false;
      }
      return true;
  }
  return false;
}

}  // namespace

bool ServeConnection(zxservice::Connection& connection, const ConnectionSettings& settings) {
  std::string payload;
  if (!connection.ReadRequest(payload)) return false;
  // A log that cannot be written must not pass for an empty one.
  if (settings.log.Append(payload) != ERROR_SUCCESS) return true;
  if (settings.reply.delayMs != 0 && !connection.Pause(settings.reply.delayMs)) return true;
  std::string scratch;
  WriteReply(connection, settings.composer.Compose(payload, scratch), settings.reply);
  return true;
}

}  // namespace zxsample
