#include "request/reply_frame_reader.h"

#include <algorithm>
#include <new>

namespace zx {

ReplyFrameReader::ReplyFrameReader(std::uint32_t maxBodyLength) noexcept
    : maxBodyLength_(maxBodyLength) {}

ReplyStatus ReplyFrameReader::Feed(std::string_view bytes) noexcept {
    switch (phase_) {
    case Phase::kFailed:
        return failure_;
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
    switch (phase_) {
    case Phase::kLength:
        return kFrameLengthSize - lengthReceived_;
    case Phase::kBody:
        return bodyLength_ - body_.size();
    default:
        return 0;
    }
}

std::string ReplyFrameReader::TakeBody() noexcept { return std::move(body_); }

// Consumes what belongs to the length field from the front of `bytes`.
ReplyStatus ReplyFrameReader::FeedLength(std::string_view& bytes) noexcept {
    const std::size_t take = std::min(kFrameLengthSize - lengthReceived_, bytes.size());
    std::copy_n(bytes.data(), take, lengthBytes_ + lengthReceived_);
    lengthReceived_ += take;
    bytes.remove_prefix(take);
    return lengthReceived_ < kFrameLengthSize ? ReplyStatus::kNeedMore : StartBody();
}

// The announced length is only trusted up to the cap; within it, one reserve
// means the body never reallocates while it grows.
ReplyStatus ReplyFrameReader::StartBody() noexcept {
    bodyLength_ = LoadFrameLength(lengthBytes_);
    if (bodyLength_ == 0) return Fail(ReplyStatus::kEmptyReply);
    if (bodyLength_ > maxBodyLength_) return Fail(ReplyStatus::kTooLarge);
    if (bodyLength_ > body_.max_size()) return Fail(ReplyStatus::kOutOfMemory);
    try {
        body_.reserve(bodyLength_);
    } catch (const std::bad_alloc&) {
        return Fail(ReplyStatus::kOutOfMemory);
    }
    phase_ = Phase::kBody;
    return ReplyStatus::kLengthKnown;
}

ReplyStatus ReplyFrameReader::FeedBody(std::string_view bytes) noexcept {
    if (bytes.size() > BytesWanted()) return Fail(ReplyStatus::kOverlong);
    body_.append(bytes);  // within the reserved capacity
    if (body_.size() < bodyLength_) return ReplyStatus::kNeedMore;
    phase_ = Phase::kDone;
    return ReplyStatus::kComplete;
}

ReplyStatus ReplyFrameReader::Fail(ReplyStatus failure) noexcept {
    phase_ = Phase::kFailed;
    failure_ = failure;
    body_ = std::string();  // give the reserved memory back at once
    return failure;
}

}  // namespace zx
