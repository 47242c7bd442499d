#pragma once
// Turns a request payload into the exact bytes written back: the 4-byte
// little-endian length, then the body, cut short as the frame shape asks.
// Bodies that do not depend on the request are framed once, up front, so
// large fixed replies cost no copy per connection.
#include <string>
#include <string_view>

#include "reply_options.h"

namespace zxsample {

// {"path":"<path>","json":<json>}: the payload up to the first "?json=" as a
// JSON string (", \ and control bytes escaped, other bytes unchanged), then
// the bytes after it exactly as received. Without "?json=" the whole payload
// is the path and the json field is null.
std::string EchoBody(std::string_view payload);

// The body repeated, or cut, to exactly size bytes; size 0 keeps it.
std::string FitToSize(std::string body, std::uint32_t size);

// The frame as the shape makes it: header and the bytes to send after it.
std::string ShapeFrame(std::string_view body, FrameShape shape, std::uint32_t shapeCount);

class ReplyComposer {
 public:
  // fileBytes is the content of options.filePath for ReplyBody::kFile.
  ReplyComposer(const ReplyOptions& options, std::string fileBytes);

  // The bytes to write for this request; a view of either the fixed reply or
  // of scratch.
  std::string_view Compose(std::string_view payload, std::string& scratch) const;

 private:
  std::string FixedBody(std::string fileBytes) const;

  ReplyOptions m_options;
  std::string m_fixedFrame;  // every reply but the echo
};

}  // namespace zxsample
