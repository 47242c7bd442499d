#include "protocol/request_frame.h"

#include <limits>
#include <new>

namespace zx {

void StoreFrameLength(std::uint32_t length, char* fourBytes) noexcept {
  for (std::size_t i = 0; i < kFrameLengthSize; ++i) {
    fourBytes[i] = static_cast<char>((length >> (8 * i)) & 0xFF);
  }
}

std::uint32_t LoadFrameLength(const char* fourBytes) noexcept {
  std::uint32_t length = 0;
  for (std::size_t i = 0; i < kFrameLengthSize; ++i) {
    length |= static_cast<std::uint32_t>(static_cast<unsigned char>(fourBytes[i])) << (8 * i);
  }
  return length;
}

bool BuildRequestFrame(std::string_view pathText, std::string_view json,
                       std::string& frame) noexcept {
  frame.clear();
  const std::uint64_t payloadSize =
      std::uint64_t{pathText.size()} + kJsonSeparator.size() + json.size();
  if (payloadSize > std::numeric_limits<std::uint32_t>::max() ||
      payloadSize > frame.max_size() - kFrameLengthSize) {
    return false;
  }
  try {
    frame.reserve(kFrameLengthSize + static_cast<std::size_t>(payloadSize));
  } catch (const std::bad_alloc&) {
    return false;
  }
  // Capacity is in place: nothing below allocates.
  frame.resize(kFrameLengthSize);
  StoreFrameLength(static_cast<std::uint32_t>(payloadSize), frame.data());
  frame.append(pathText).append(kJsonSeparator).append(json);
  return true;
}

}  // namespace zx
