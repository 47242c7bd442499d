#include "registrar/registry_script_utf8.h"

#include <cstdint>

namespace zx {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

struct LeadByte {
  int continuationCount;
  char32_t initialBits;
  char32_t minimum;  // smaller values are overlong forms
};

bool ReadLeadByte(std::uint8_t byte, LeadByte& lead) {
  if (byte < 0x80)
    lead = {0, byte, 0};
  else if ((byte & 0xE0) == 0xC0)
    lead = {1, byte & 0x1Fu, 0x80};
  else if ((byte & 0xF0) == 0xE0)
    lead = {2, byte & 0x0Fu, 0x800};
  else if ((byte & 0xF8) == 0xF0)
    lead = {3, byte & 0x07u, 0x10000};
  else
    return false;
  return true;
}

bool IsScalarValue(char32_t c) { return c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF); }

void AppendUtf16(char32_t c, std::u16string& text) {
  if (c < 0x10000) {
    text += static_cast<char16_t>(c);
  } else {
    c -= 0x10000;
    text += static_cast<char16_t>(0xD800 + (c >> 10));
    text += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
  }
}

}  // namespace

bool DecodeScriptUtf8(std::string_view bytes, std::u16string& text) {
  if (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
    bytes.remove_prefix(kByteOrderMark.size());
  }
  text.clear();
  text.reserve(bytes.size());
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    LeadByte lead;
    if (!ReadLeadByte(static_cast<std::uint8_t>(bytes[pos++]), lead)) return false;
    if (bytes.size() - pos < static_cast<std::size_t>(lead.continuationCount)) return false;
    char32_t c = lead.initialBits;
    for (int i = 0; i < lead.continuationCount; ++i) {
      const auto byte = static_cast<std::uint8_t>(bytes[pos++]);
      if ((byte & 0xC0) != 0x80) return false;
      c = (c << 6) | (byte & 0x3Fu);
    }
    if (c < lead.minimum || !IsScalarValue(c)) return false;
    AppendUtf16(c, text);
  }
  return true;
}

}  // namespace zx
