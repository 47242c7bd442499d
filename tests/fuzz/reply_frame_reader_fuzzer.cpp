// libFuzzer target: a reply frame, well-formed or not, fed to the reader in
// random pieces. After every piece the reader must report what reading the
// bytes so far at once concludes and want exactly the bytes still missing;
// a failure stays; a complete body is the frame's.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "protocol/reply_frame_reader.h"

namespace {

using zx::kFrameLengthSize;
using zx::ReplyStatus;

// Big enough for multi-piece bodies, small enough that reserving it is cheap.
constexpr std::uint32_t kLargestCap = 1u << 16;

bool IsFailure(ReplyStatus status) {
  return status != ReplyStatus::kNeedMore && status != ReplyStatus::kLengthKnown &&
         status != ReplyStatus::kComplete;
}

// What reading `frame` all at once concludes, and how many more bytes an
// unfinished one (kNeedMore) wants. `lengthJustArrived`: an unfinished
// frame then reports kLengthKnown.
struct Verdict {
  ReplyStatus status;
  std::size_t wanted;
};
Verdict OneShotVerdict(std::string_view frame, std::uint32_t cap, bool lengthJustArrived) {
  if (frame.size() < kFrameLengthSize) {
    return {ReplyStatus::kNeedMore, kFrameLengthSize - frame.size()};
  }
  const std::uint32_t announced = zx::LoadFrameLength(frame.data());
  const std::size_t body = frame.size() - kFrameLengthSize;
  if (announced == 0) return {ReplyStatus::kEmptyReply, 0};
  if (announced > cap) return {ReplyStatus::kTooLarge, 0};
  if (body > announced) return {ReplyStatus::kOverlong, 0};
  if (body == announced) return {ReplyStatus::kComplete, 0};
  return {lengthJustArrived ? ReplyStatus::kLengthKnown : ReplyStatus::kNeedMore, announced - body};
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
  std::string frame(kFrameLengthSize, '\0');
  zx::StoreFrameLength(length, frame.data());
  return frame + body;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const auto cap = input.ConsumeIntegralInRange<std::uint32_t>(0, kLargestCap);
  const std::string frame = MakeFrame(input);
  zx::ReplyFrameReader reader(cap);
  std::size_t fed = 0;
  ReplyStatus last = ReplyStatus::kNeedMore;
  // Feeds the next piece and checks the step against what the frame allows so far.
  const auto feed = [&](std::size_t pieceSize) {
    const std::size_t piece = std::min(pieceSize, frame.size() - fed);
    const ReplyStatus status = reader.Feed(std::string_view(frame).substr(fed, piece));
    const bool lengthArrives = fed < kFrameLengthSize && fed + piece >= kFrameLengthSize;
    fed += piece;
    if (IsFailure(last)) {
      ZX_FUZZ_CHECK(status == last);
    } else {
      const Verdict sofar =
          OneShotVerdict(std::string_view(frame).substr(0, fed), cap, lengthArrives);
      ZX_FUZZ_CHECK(status == sofar.status && reader.BytesWanted() == sofar.wanted);
    }
    last = status;
  };
  // Piece sizes from what is left of the input (none: the frame at once); the
  // rest of the frame in one piece.
  while (fed < frame.size() && input.remaining_bytes() > 0) {
    feed(input.ConsumeIntegralInRange<std::size_t>(0, 64));
  }
  feed(frame.size() - fed);
  if (last == ReplyStatus::kComplete) {
    ZX_FUZZ_CHECK(reader.TakeBody() == frame.substr(kFrameLengthSize));
  } else if (IsFailure(last)) {
    ZX_FUZZ_CHECK(reader.TakeBody().empty());  // a failed reader holds nothing
  }
  return 0;
}
