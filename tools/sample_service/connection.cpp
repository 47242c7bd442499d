#include "connection.h"

#include <algorithm>
#include <string>

#include "frame_length.h"
#include "stoppable_io.h"

namespace zxsample {
namespace {

// A request usually arrives whole: one read takes what is there, and only
// the rest of a larger one is read after it.
constexpr DWORD kFirstReadBytes = 4096;

bool ReadRequest(StoppableIo& io, std::string& payload) {
  char first[kFirstReadBytes];
  DWORD got = 0;
  while (got < kFrameHeaderBytes) {
    const DWORD moved = io.ReadSome(first + got, sizeof first - got);
    if (moved == 0) return false;
    got += moved;
  }
  const std::uint32_t length = ReadFrameLength(first);
  if (length > kMaxRequestBytes) return false;
  const DWORD inFirst = std::min<DWORD>(got - kFrameHeaderBytes, length);
  payload.assign(first + kFrameHeaderBytes, inFirst);
  payload.resize(length);
  return io.ReadExact(payload.data() + inFirst, length - inFirst);
}

bool WriteReply(StoppableIo& io, std::string_view bytes, const ReplyOptions& options) {
  auto write = [&io](std::string_view piece) {
    return io.WriteAll(piece.data(), static_cast<DWORD>(piece.size()));
  };
  switch (options.writes) {
    case WritePattern::OneWrite:
      return write(bytes);
    case WritePattern::ManyWrites:
      return write(bytes.substr(0, 4)) && (bytes.size() <= 4 || write(bytes.substr(4)));
    case WritePattern::Drip:
      for (size_t offset = 0; offset < bytes.size(); offset += options.dripPiece) {
        if (offset != 0 && !io.Pause(options.dripDelayMs)) return false;
        if (!write(bytes.substr(offset, options.dripPiece))) return false;
      }
      return true;
  }
  return false;
}

}  // namespace

bool ServeConnection(HANDLE pipe, HANDLE ioEvent, const ConnectionSettings& settings) {
  StoppableIo io(pipe, settings.stopEvent, ioEvent);
  std::string payload;
  if (!ReadRequest(io, payload)) return false;
  // A log that cannot be written must not pass for an empty one.
  if (settings.log.Append(payload) != ERROR_SUCCESS) return true;
  if (settings.reply.delayMs != 0 && !io.Pause(settings.reply.delayMs)) return true;
  std::string scratch;
  WriteReply(io, settings.composer.Compose(payload, scratch), settings.reply);
  return true;
}

}  // namespace zxsample
