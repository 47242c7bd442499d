#include "reply_composer.h"

#include <algorithm>
#include <cstdio>

#include "protocol/request_frame.h"

namespace zxsample {
namespace {

void AppendJsonString(std::string& out, std::string_view text) {
  out += '"';
  for (char c : text) {
    auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20) {
      char escape[7];
      std::snprintf(escape, sizeof escape, "\\u%04x", byte);
      out += escape;
    } else {
      out += c;
    }
  }
  out += '"';
}

}  // namespace

std::string EchoBody(std::string_view payload) {
  size_t separator = payload.find(zx::kJsonSeparator);
  std::string body = "{\"path\":";
  AppendJsonString(body, payload.substr(0, separator));
  body += ",\"json\":";
  if (separator == std::string_view::npos) {
    body += "null";
  } else {
    body += payload.substr(separator + zx::kJsonSeparator.size());
  }
  body += '}';
  return body;
}

std::string FitToSize(std::string body, std::uint32_t size) {
  if (size == 0 || body.empty()) return body;
  if (body.size() >= size) {
    body.resize(size);
    return body;
  }
  // Doubling keeps the length a whole number of periods until the last piece.
  body.reserve(size);
  while (body.size() < size) {
    body.append(body, 0, std::min<size_t>(body.size(), size - body.size()));
  }
  return body;
}

std::string ShapeFrame(std::string_view body, FrameShape shape, std::uint32_t shapeCount) {
  auto length = static_cast<std::uint32_t>(body.size());
  std::string_view sent = body;
  switch (shape) {
    case FrameShape::kComplete:
      break;
    case FrameShape::kPartial:
      sent = body.substr(0, shapeCount);
      break;
    case FrameShape::kShort:
      length += shapeCount;
      break;
    case FrameShape::kHuge:
      length = kHugeLength;
      sent = body.substr(0, kHugeSentBytes);
      break;
  }
  std::string frame(zx::kFrameLengthSize, '\0');
  zx::StoreFrameLength(length, frame.data());
  frame += sent;
  return frame;
}

ReplyComposer::ReplyComposer(const ReplyOptions& options, std::string fileBytes)
    : m_options(options) {
  if (options.body != ReplyBody::kEcho) {
    m_fixedFrame = ShapeFrame(FixedBody(std::move(fileBytes)), options.shape, options.shapeCount);
  }
}

std::string_view ReplyComposer::Compose(std::string_view payload, std::string& scratch) const {
  if (m_options.body != ReplyBody::kEcho) return m_fixedFrame;
  scratch = ShapeFrame(FitToSize(EchoBody(payload), m_options.size), m_options.shape,
                       m_options.shapeCount);
  return scratch;
}

std::string ReplyComposer::FixedBody(std::string fileBytes) const {
  switch (m_options.body) {
    case ReplyBody::kFile:
      return FitToSize(std::move(fileBytes), m_options.size);
    case ReplyBody::kErrorCode:
      return FitToSize("{\"error_code\":\"" + m_options.errorCodeText + "\"}", m_options.size);
    default:
      return {};
  }
}

}  // namespace zxsample
