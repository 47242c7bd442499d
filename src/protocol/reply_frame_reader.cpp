#include "protocol/reply_frame_reader.h"

#include <algorithm>
#include <exception>

namespace zx {

ReplyFrameReader::ReplyFrameReader(std::uint32_t maxBodyLength) noexcept
    : m_maxBodyLength(maxBodyLength) {}

ReplyStatus ReplyFrameReader::Feed(std::string_view bytes) noexcept {
  switch (m_phase) {
    case Phase::kFailed:
      return m_failure;
    case Phase::kDone:
      return bytes.empty() ? ReplyStatus::kComplete : Fail(ReplyStatus::kOverlong);
    case Phase::kBody:
      return FeedBody(bytes);
    case Phase::kLength:
      break;
  }
  const ReplyStatus afterLength = FeedLength(bytes);
  if (afterLength != ReplyStatus::kLengthKnown || bytes.empty()) return afterLength;
  const ReplyStatus afterBody = FeedBody(bytes);
  return afterBody == ReplyStatus::kNeedMore ? ReplyStatus::kLengthKnown : afterBody;
}

std::size_t ReplyFrameReader::BytesWanted() const noexcept {
  switch (m_phase) {
    case Phase::kLength:
      return kFrameLengthSize - m_lengthReceived;
    case Phase::kBody:
      return m_bodyLength - m_body.size();
    default:
      return 0;
  }
}

std::string ReplyFrameReader::TakeBody() noexcept { return std::move(m_body); }

// Consumes what belongs to the length field from the front of `bytes`.
ReplyStatus ReplyFrameReader::FeedLength(std::string_view& bytes) noexcept {
  const std::size_t take = std::min(kFrameLengthSize - m_lengthReceived, bytes.size());
  std::copy_n(bytes.data(), take, m_lengthBytes + m_lengthReceived);
  m_lengthReceived += take;
  bytes.remove_prefix(take);
  return m_lengthReceived < kFrameLengthSize ? ReplyStatus::kNeedMore : StartBody();
}

// The announced length is only trusted up to the cap, and memory is only
// committed for it a growth step at a time: a service may announce more
// than it ever sends.
ReplyStatus ReplyFrameReader::StartBody() noexcept {
  m_bodyLength = LoadFrameLength(m_lengthBytes);
  if (m_bodyLength == 0) return Fail(ReplyStatus::kEmptyReply);
  if (m_bodyLength > m_maxBodyLength) return Fail(ReplyStatus::kTooLarge);
  if (!MakeRoom(std::min<std::size_t>(m_bodyLength, kReplyGrowthStep))) {
    return Fail(ReplyStatus::kOutOfMemory);
  }
  m_phase = Phase::kBody;
  return ReplyStatus::kLengthKnown;
}

ReplyStatus ReplyFrameReader::FeedBody(std::string_view bytes) noexcept {
  if (bytes.size() > BytesWanted()) return Fail(ReplyStatus::kOverlong);
  if (!MakeRoom(bytes.size())) return Fail(ReplyStatus::kOutOfMemory);
  m_body.append(bytes);  // within the capacity just made
  if (m_body.size() < m_bodyLength) return ReplyStatus::kNeedMore;
  m_phase = Phase::kDone;
  return ReplyStatus::kComplete;
}

// Doubles the buffer, capped at the announced length, whenever `more`
// bytes would not fit: a reply of up to one growth step never moves, and
// a longer one is copied a logarithmic number of times. The bytes move into
// a new buffer of exactly that size: reserve on a non-empty string may
// round up to twice its capacity, past the cap.
bool ReplyFrameReader::MakeRoom(std::size_t more) noexcept {
  const std::size_t needed = m_body.size() + more;
  if (needed <= m_body.capacity()) return true;
  const std::size_t doubled = std::max(needed, m_body.capacity() * 2);
  try {
    std::string grown;
    grown.reserve(std::min<std::size_t>(doubled, m_bodyLength));
    grown.append(m_body);
    m_body = std::move(grown);
  } catch (const std::exception&) {  // bad_alloc, or length_error beyond max_size
    return false;
  }
  return true;
}

ReplyStatus ReplyFrameReader::Fail(ReplyStatus failure) noexcept {
  m_phase = Phase::kFailed;
  m_failure = failure;
  std::string().swap(m_body);  // give the reserved memory back at once (assignment keeps it)
  return failure;
}

ReplyStatus FeedFrameBytes(ReplyFrameReader& reader, std::string_view bytes) noexcept {
  ReplyStatus status = ReplyStatus::kNeedMore;
  while (!bytes.empty() && reader.BytesWanted() > 0) {
    const std::size_t take = std::min(bytes.size(), reader.BytesWanted());
    status = reader.Feed(bytes.substr(0, take));
    bytes.remove_prefix(take);
  }
  return status;
}

}  // namespace zx
