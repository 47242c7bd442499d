#include "transport/exchange_progress.h"

#include <algorithm>
#include <utility>

namespace zx {

ExchangeProgress::ExchangeProgress(std::string requestFrame) noexcept
    : m_frame(std::move(requestFrame)) {}

std::string_view ExchangeProgress::PendingWrite() const noexcept {
  return std::string_view(m_frame).substr(m_written);
}

ExchangeEvent ExchangeProgress::OnWritten(std::uint32_t written) noexcept {
  m_written = std::min(m_frame.size(), m_written + written);
  if (m_written < m_frame.size()) return ExchangeEvent::kWriteMore;
  m_frame = std::string();  // the request is out; its memory is not needed again
  m_written = 0;
  return ExchangeEvent::kReadMore;
}

std::size_t ExchangeProgress::ReadSize() const noexcept {
  return std::min(m_reply.BytesWanted(), kMaxReadPiece);
}

ExchangeEvent ExchangeProgress::OnRead(std::string_view bytes) noexcept {
  switch (m_reply.Feed(bytes)) {
    case ReplyStatus::kNeedMore:
      return ExchangeEvent::kReadMore;
    case ReplyStatus::kLengthKnown:
      return ExchangeEvent::kLengthKnown;
    case ReplyStatus::kComplete:
      return ExchangeEvent::kComplete;
    case ReplyStatus::kEmptyReply:
      return ExchangeEvent::kEmptyReply;
    case ReplyStatus::kOverlong:
      return ExchangeEvent::kOverlong;
    case ReplyStatus::kTooLarge:
    case ReplyStatus::kOutOfMemory:
      break;
  }
  return ExchangeEvent::kOutOfMemory;
}

std::string ExchangeProgress::TakeResponse() noexcept { return m_reply.TakeBody(); }

}  // namespace zx
