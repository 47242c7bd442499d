// Gathers one reply frame (4-byte little-endian length N, then N bytes) from
// pieces of any size, as a pipe hands them over.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "request/request_frame.h"

namespace zx {

enum class ReplyStatus {
  kNeedMore,     // nothing new to report; feed BytesWanted() more bytes
  kLengthKnown,  // the length arrived in this call and the body is not complete yet
  kComplete,     // all N bytes are in; TakeBody() hands them over
  kEmptyReply,   // the length field is 0
  kTooLarge,     // the announced length exceeds the caller's cap
  kOverlong,     // more bytes arrived than the length announced
  kOutOfMemory,  // the announced length could not be reserved
};

// The failures are final: once one is reported, every later Feed reports it
// again and the reader accepts nothing more.
class ReplyFrameReader {
 public:
  // The body buffer is reserved once, at the announced length, so the cap
  // bounds what a service can make this process hold.
  explicit ReplyFrameReader(std::uint32_t maxBodyLength) noexcept;

  // Takes the next bytes of the reply. A call that brings the length and
  // the whole body at once reports kComplete.
  ReplyStatus Feed(std::string_view bytes) noexcept;

  // How many bytes the frame still expects: the rest of the length field,
  // then the rest of the body; 0 once complete or failed.
  std::size_t BytesWanted() const noexcept;

  // Hands over the body without copying; the reader is spent afterwards.
  std::string TakeBody() noexcept;

 private:
  enum class Phase { kLength, kBody, kDone, kFailed };

  ReplyStatus FeedLength(std::string_view& bytes) noexcept;
  ReplyStatus StartBody() noexcept;
  ReplyStatus FeedBody(std::string_view bytes) noexcept;
  ReplyStatus Fail(ReplyStatus failure) noexcept;

  std::uint32_t m_maxBodyLength;
  Phase m_phase = Phase::kLength;
  ReplyStatus m_failure = ReplyStatus::kNeedMore;
  char m_lengthBytes[kFrameLengthSize] = {};
  std::size_t m_lengthReceived = 0;
  std::uint32_t m_bodyLength = 0;
  std::string m_body;
};

}  // namespace zx
