// libFuzzer target: a reply frame, well-formed or not, fed to the reader in
// random pieces. Whatever the split, the reader must reach the verdict of a
// one-shot reading, never take more than the frame announced, never accept a
// length above its cap, and stay in a failure once it reported one.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "protocol/reply_frame_reader.h"

namespace {

using zx::ReplyStatus;

// Big enough for multi-piece bodies, small enough that reserving it is cheap.
constexpr std::uint32_t kLargestCap = 1u << 16;

bool IsFailure(ReplyStatus status) {
  return status != ReplyStatus::kNeedMore && status != ReplyStatus::kLengthKnown &&
         status != ReplyStatus::kComplete;
}

// What reading `frame` all at once concludes (kNeedMore: unfinished), and
// how many more bytes an unfinished frame wants.
struct Verdict {
  ReplyStatus status;
  std::size_t wanted;
};

Verdict OneShotVerdict(std::string_view frame, std::uint32_t cap) {
  if (frame.size() < zx::kFrameLengthSize) {
    return {ReplyStatus::kNeedMore, zx::kFrameLengthSize - frame.size()};
  }
  const std::uint32_t announced = zx::LoadFrameLength(frame.data());
  const std::size_t body = frame.size() - zx::kFrameLengthSize;
  if (announced == 0) return {ReplyStatus::kEmptyReply, 0};
  if (announced > cap) return {ReplyStatus::kTooLarge, 0};
  if (body > announced) return {ReplyStatus::kOverlong, 0};
  return {body == announced ? ReplyStatus::kComplete : ReplyStatus::kNeedMore, announced - body};
}

// The status of the Feed call after which reading at once gives `sofar`:
// unfinished frames say whether this call brought the length.
ReplyStatus ExpectedStep(const Verdict& sofar, bool lengthArrived) {
  if (sofar.status != ReplyStatus::kNeedMore) return sofar.status;
  return lengthArrived ? ReplyStatus::kLengthKnown : ReplyStatus::kNeedMore;
}

// Either raw bytes, or a body behind a length field that is exact, a
// little short or a little long, so every outcome stays reachable.
std::string MakeFrame(FuzzedDataProvider& input) {
  const auto shape = input.ConsumeIntegral<std::uint8_t>();
  const std::string body = input.ConsumeRandomLengthString(kLargestCap);
  if (shape % 4 == 0) return body;
  const std::uint32_t skew = shape / 4 % 8;
  const auto length = static_cast<std::uint32_t>(body.size()) - (shape % 4 == 2 ? skew : 0) +
                      (shape % 4 == 3 ? skew : 0);
  std::string frame(zx::kFrameLengthSize, '\0');
  zx::StoreFrameLength(length, frame.data());
  return frame + body;
}

struct FeedChecker {
  std::string_view frame;
  std::uint32_t cap;
  std::size_t fed = 0;
  ReplyStatus last = ReplyStatus::kNeedMore;

  // Feeds the next piece and checks the step against what the frame allows so far.
  void Feed(zx::ReplyFrameReader& reader, std::size_t pieceSize) {
    const std::string_view piece = frame.substr(fed, pieceSize);
    const bool lengthArrives =
        fed < zx::kFrameLengthSize && fed + piece.size() >= zx::kFrameLengthSize;
    const ReplyStatus status = reader.Feed(piece);
    fed += piece.size();
    if (IsFailure(last)) ZX_FUZZ_CHECK(status == last);
    if (status == ReplyStatus::kTooLarge) ZX_FUZZ_CHECK(zx::LoadFrameLength(frame.data()) > cap);
    // Accepted bytes never go beyond the announced frame.
    ZX_FUZZ_CHECK(IsFailure(status) || fed < zx::kFrameLengthSize ||
                  fed - zx::kFrameLengthSize <= zx::LoadFrameLength(frame.data()));
    if (!IsFailure(last)) {
      const Verdict sofar = OneShotVerdict(frame.substr(0, fed), cap);
      ZX_FUZZ_CHECK(status == ExpectedStep(sofar, lengthArrives));
      ZX_FUZZ_CHECK(reader.BytesWanted() == sofar.wanted);
    }
    last = status;
  }
};

void CheckFinished(zx::ReplyFrameReader& reader, const FeedChecker& checker) {
  zx::ReplyFrameReader oneShot(checker.cap);
  const bool lengthInFrame = checker.frame.size() >= zx::kFrameLengthSize;
  ZX_FUZZ_CHECK(oneShot.Feed(checker.frame) ==
                ExpectedStep(OneShotVerdict(checker.frame, checker.cap), lengthInFrame));
  if (checker.last == ReplyStatus::kComplete) {
    zx::ReplyFrameReader afterEnd = reader;
    ZX_FUZZ_CHECK(afterEnd.Feed({}) == ReplyStatus::kComplete);
    ZX_FUZZ_CHECK(afterEnd.Feed("x") == ReplyStatus::kOverlong);
    ZX_FUZZ_CHECK(afterEnd.Feed({}) == ReplyStatus::kOverlong);
    const std::string body = reader.TakeBody();
    ZX_FUZZ_CHECK(body == checker.frame.substr(zx::kFrameLengthSize) && body == oneShot.TakeBody());
  } else if (IsFailure(checker.last)) {
    ZX_FUZZ_CHECK(reader.TakeBody().empty());  // a failed reader holds nothing
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const auto cap = input.ConsumeIntegralInRange<std::uint32_t>(0, kLargestCap);
  const std::string frame = MakeFrame(input);
  zx::ReplyFrameReader reader(cap);
  FeedChecker checker{frame, cap};
  // Piece sizes from what is left of the input; the rest of the frame in one piece.
  while (checker.fed < frame.size() && input.remaining_bytes() > 0) {
    checker.Feed(reader, input.ConsumeIntegralInRange<std::size_t>(0, 64));
  }
  checker.Feed(reader, frame.size() - checker.fed);
  CheckFinished(reader, checker);
  return 0;
}
