#include "transport/exchange_progress.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace zx {

// The protocol sets no upper bound on a reply: the reader's own reservation
// failing is what stops a length the process cannot hold.
ExchangeProgress::ExchangeProgress(std::string requestFrame) noexcept
    : frame_(std::move(requestFrame)), reply_(std::numeric_limits<std::uint32_t>::max()) {}

std::string_view ExchangeProgress::PendingWrite() const noexcept {
    return std::string_view(frame_).substr(written_);
}

ExchangeEvent ExchangeProgress::OnWritten(std::uint32_t written) noexcept {
    written_ = std::min(frame_.size(), written_ + written);
    if (written_ < frame_.size()) return ExchangeEvent::kWriteMore;
    frame_ = std::string();  // the request is out; its memory is not needed again
    written_ = 0;
    return ExchangeEvent::kReadMore;
}

std::size_t ExchangeProgress::ReadSize() const noexcept {
    return std::min(reply_.BytesWanted(), kMaxReadPiece);
}

ExchangeEvent ExchangeProgress::OnRead(std::string_view bytes) noexcept {
    switch (reply_.Feed(bytes)) {
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

std::string ExchangeProgress::TakeResponse() noexcept { return reply_.TakeBody(); }

}  // namespace zx
