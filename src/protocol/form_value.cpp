#include "protocol/form_value.h"

#include <cstring>

namespace zx {
namespace {

constexpr char kJsonName[] = "json";
constexpr char kParameterSeparator = '&';
// A GET's URL is searched whole, so its first parameter follows the "?".
constexpr char kQueryStart = '?';
constexpr char kNameValueSeparator = '=';
constexpr char kEscape = '%';

// ASCII only, whatever the C locale says: names and escapes are ASCII, and
// bytes of UTF-8 sequences must never match.
unsigned char ToLowerAscii(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

bool IsHexDigit(char c) {
  const unsigned char lower = ToLowerAscii(static_cast<unsigned char>(c));
  return (lower >= '0' && lower <= '9') || (lower >= 'a' && lower <= 'f');
}

int HexValue(char c) {
  const unsigned char lower = ToLowerAscii(static_cast<unsigned char>(c));
  return lower <= '9' ? lower - '0' : lower - 'a' + 10;
}

// Both digits must lie inside the source: the value's end is not guaranteed
// to be followed by anything readable.
bool IsEscapeAt(const char* source, std::ptrdiff_t sourceLength, std::ptrdiff_t j) {
  return source[j] == kEscape && j + 2 < sourceLength && IsHexDigit(source[j + 1]) &&
         IsHexDigit(source[j + 2]);
}

struct ValueSpan {
  std::ptrdiff_t offset;
  std::ptrdiff_t length;
};

bool StartsParameter(const char* data, std::ptrdiff_t position) {
  return position == 0 || data[position - 1] == kParameterSeparator ||
         data[position - 1] == kQueryStart;
}

std::optional<ValueSpan> FindValueSpan(const char* name, const char* data,
                                       std::ptrdiff_t dataLength) {
  const auto nameLength = static_cast<std::ptrdiff_t>(std::strlen(name));
  for (std::ptrdiff_t s = 0; s + nameLength < dataLength; ++s) {
    if (StartsParameter(data, s) && data[s + nameLength] == kNameValueSeparator &&
        NameEqualsNoCase(name, data + s, nameLength) == 0) {
      const std::ptrdiff_t begin = s + nameLength + 1;
      const void* separator = std::memchr(data + begin, kParameterSeparator,
                                          static_cast<std::size_t>(dataLength - begin));
      const std::ptrdiff_t end =
          separator ? static_cast<const char*>(separator) - data : dataLength;
      return ValueSpan{begin, end - begin};
    }
  }
  return std::nullopt;
}

}  // namespace

int NameEqualsNoCase(const char* name, const char* candidate, std::ptrdiff_t n) {
  for (std::ptrdiff_t i = 0; i < n; ++i) {
    const int difference = ToLowerAscii(static_cast<unsigned char>(name[i])) -
                           ToLowerAscii(static_cast<unsigned char>(candidate[i]));
    if (difference != 0) return difference;
  }
  return 0;
}

std::ptrdiff_t PercentDecode(const char* source, std::ptrdiff_t sourceLength, char* out,
                             std::ptrdiff_t outCapacity) {
  if (outCapacity <= 0) return 0;
  std::ptrdiff_t i = 0;
  for (std::ptrdiff_t j = 0; j < sourceLength && i < outCapacity - 1; ++j, ++i) {
    if (IsEscapeAt(source, sourceLength, j)) {
      out[i] = static_cast<char>(HexValue(source[j + 1]) * 16 + HexValue(source[j + 2]));
      j += 2;
    } else {
      out[i] = source[j];
    }
  }
  out[i] = '\0';
  return i;
}

std::ptrdiff_t FindFormValue(const char* name, const char* data, std::ptrdiff_t dataLength,
                             char* out, std::ptrdiff_t outCapacity) {
  const std::optional<ValueSpan> span = FindValueSpan(name, data, dataLength);
  if (!span) return -1;
  return PercentDecode(data + span->offset, span->length, out, outCapacity);
}

std::optional<std::string> FindJsonFormValue(std::string_view formUtf8) {
  const std::optional<ValueSpan> span =
      FindValueSpan(kJsonName, formUtf8.data(), static_cast<std::ptrdiff_t>(formUtf8.size()));
  if (!span) return std::nullopt;
  // Decoding never lengthens; one more byte for the terminator it writes.
  std::string value(static_cast<std::size_t>(span->length) + 1, '\0');
  const std::ptrdiff_t decoded =
      PercentDecode(formUtf8.data() + span->offset, span->length, value.data(), span->length + 1);
  value.resize(static_cast<std::size_t>(decoded));
  return value;
}

}  // namespace zx
