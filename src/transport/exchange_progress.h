// How far one asynchronous exchange has come: the request frame going out
// in as many writes as the pipe needs, then the reply frame coming back in
// reads of at most kMaxReadPiece bytes. The pipe work itself is done by the
// caller; this only says what to write or read next and what happened.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "protocol/reply_frame_reader.h"

namespace zx {

// The size of an exchange's fixed read buffer: no read asks for more.
inline constexpr std::size_t kMaxReadPiece = 4096;

enum class ExchangeEvent {
  kWriteMore,    // part of the frame is unwritten: write PendingWrite()
  kReadMore,     // read ReadSize() bytes next
  kLengthKnown,  // the reply length arrived; read ReadSize() bytes next
  kComplete,     // the reply is in: TakeResponse()
  kEmptyReply,   // the reply length is 0
  kOverlong,     // more bytes arrived than the length announced
  kOutOfMemory,  // the announced length cannot be held
};

class ExchangeProgress {
 public:
  // Writing starts at the frame's first byte.
  explicit ExchangeProgress(std::string requestFrame) noexcept;

  std::string_view PendingWrite() const noexcept;
  // After `written` more bytes went out: kWriteMore until the frame is
  // out, then kReadMore for the reply's length field.
  ExchangeEvent OnWritten(std::uint32_t written) noexcept;

  std::size_t ReadSize() const noexcept;
  ExchangeEvent OnRead(std::string_view bytes) noexcept;

  // The reply body after kComplete; the exchange is spent afterwards.
  std::string TakeResponse() noexcept;

 private:
  std::string m_frame;
  std::size_t m_written = 0;
  ReplyFrameReader m_reply;
};

}  // namespace zx
