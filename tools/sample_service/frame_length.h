#pragma once
// The 4-byte little-endian length in front of every frame and log record.
// Written out here rather than shared with the module, so that the peer the
// module is tested against does not inherit the module's own mistakes.
#include <cstdint>
#include <string>

namespace zxsample {

inline constexpr unsigned kFrameHeaderBytes = 4;

inline void AppendFrameLength(std::string& out, std::uint32_t length) {
  for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>(length >> shift);
}

inline std::uint32_t ReadFrameLength(const char* fourBytes) {
  std::uint32_t length = 0;
  for (int i = 3; i >= 0; --i) length = length << 8 | static_cast<unsigned char>(fourBytes[i]);
  return length;
}

}  // namespace zxsample
