// Gathers one reply frame (4-byte little-endian length N, then N bytes) from
// pieces of any size, as a pipe hands them over.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "protocol/request_frame.h"

namespace zx {

// The longest reply either build accepts. A 32-bit host must still find room
// for the bytes and their UTF-16 text beside its own memory, and no page
// exchanges anything near this; a longer announcement is refused before any
// buffer is made, the same way on both builds.
inline constexpr std::uint32_t kMaxReplyLength = 256u << 20;

// The most the body buffer grows ahead of the bytes that have arrived: a
// reply of up to this size is held in one allocation, and a service that
// announces more than it sends cannot make the host commit more than this.
inline constexpr std::size_t kReplyGrowthStep = 16u << 20;

enum class ReplyStatus {
  kNeedMore,     // nothing new to report; feed BytesWanted() more bytes
  kLengthKnown,  // the length arrived in this call and the body is not complete yet
  kComplete,     // all N bytes are in; TakeBody() hands them over
  kEmptyReply,   // the length field is 0
  kTooLarge,     // the announced length exceeds the caller's cap
  kOverlong,     // more bytes arrived than the length announced
  kOutOfMemory,  // the body buffer could not grow
};

// The failures are final: once one is reported, every later Feed reports it
// again and the reader accepts nothing more.
class ReplyFrameReader {
 public:
  // The body buffer grows with the bytes that arrive, at most
  // kReplyGrowthStep ahead of them, and never beyond the announced length.
  explicit ReplyFrameReader(std::uint32_t maxBodyLength = kMaxReplyLength) noexcept;

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
  bool MakeRoom(std::size_t more) noexcept;
  ReplyStatus Fail(ReplyStatus failure) noexcept;

  std::uint32_t m_maxBodyLength;
  Phase m_phase = Phase::kLength;
  ReplyStatus m_failure = ReplyStatus::kNeedMore;
  char m_lengthBytes[kFrameLengthSize] = {};
  std::size_t m_lengthReceived = 0;
  std::uint32_t m_bodyLength = 0;
  std::string m_body;
};

// Feeds reader the bytes that belong to its frame and drops the rest: what
// a service writes past its frame is not part of the reply. Returns the
// status of the last piece fed (kNeedMore when nothing was).
ReplyStatus FeedFrameBytes(ReplyFrameReader& reader, std::string_view bytes) noexcept;

}  // namespace zx
