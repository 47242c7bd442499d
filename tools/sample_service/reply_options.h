#pragma once
// How the sample service answers each request: what the reply body is, how
// its frame is cut short (to imitate a broken peer), and how the bytes are
// handed to the pipe. Every request of one process is answered the same way.
#include <windows.h>

#include <cstdint>
#include <string>

namespace zxsample {

enum class ReplyBody {
  kEcho,        // {"path":"<path>","json":<json as received>}
  kFile,        // the bytes of a file
  kErrorCode,   // {"error_code":"<n>"}
  kZeroLength,  // a frame with length 0 and nothing after it
};

enum class FrameShape {
  kComplete,  // the length of the body, then the body
  kPartial,   // the length of the body, then only its first `shapeCount` bytes
  kShort,     // a length `shapeCount` larger than the body, then the body
  kHuge,      // the length kHugeLength, then the first kHugeSentBytes of the body
};

enum class WritePattern {
  kOneWrite,    // header and body in one WriteFile
  kManyWrites,  // the 4-byte header, then the rest
  kDrip,        // pieces of `dripPiece` bytes, `dripDelayMs` apart
};

inline constexpr std::uint32_t kHugeLength = 0xFFFFFFF0u;
inline constexpr std::uint32_t kHugeSentBytes = 16;

struct ReplyOptions {
  ReplyBody body = ReplyBody::kEcho;
  std::wstring filePath;      // ReplyBody::kFile
  std::string errorCodeText;  // ReplyBody::kErrorCode, already in decimal
  std::uint32_t size = 0;     // 0: the body as it comes; else cycled or cut to this size
  FrameShape shape = FrameShape::kComplete;
  std::uint32_t shapeCount = 0;  // Partial: bytes sent; Short: missing bytes
  WritePattern writes = WritePattern::kOneWrite;
  std::uint32_t dripPiece = 0;
  DWORD dripDelayMs = 0;
  DWORD delayMs = 0;  // wait between reading the request and replying
};

}  // namespace zxsample
