#pragma once
// What the fuzz targets share: invariant checks that stop the process the
// way libFuzzer records as a crash, and plain reference versions of the
// text rules the code is checked against.
#include <cstdio>
#include <string>
#include <string_view>

#define ZX_FUZZ_CHECK(condition)                                                             \
  do {                                                                                       \
    if (!(condition)) {                                                                      \
      std::fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, #condition); \
      __builtin_trap();                                                                      \
    }                                                                                        \
  } while (false)

namespace zx::fuzz {

template <class Char>
Char LowerAscii(Char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<Char>(c - 'A' + 'a') : c;
}

// UTF-8 of UTF-16 text, a lone surrogate as U+FFFD.
inline std::string EncodeUtf8(std::u16string_view text) {
  std::string bytes;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    const bool pair = c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
                      text[i + 1] <= 0xDFFF;
    if (pair) c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    if (!pair && c >= 0xD800 && c <= 0xDFFF) c = 0xFFFD;
    const int continuations = c < 0x80 ? 0 : c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
    constexpr unsigned char kLeadBits[] = {0, 0xC0, 0xE0, 0xF0};
    bytes += static_cast<char>(kLeadBits[continuations] | (c >> (6 * continuations)));
    for (int shift = 6 * (continuations - 1); shift >= 0; shift -= 6) {
      bytes += static_cast<char>(0x80 | ((c >> shift) & 0x3F));
    }
  }
  return bytes;
}

}  // namespace zx::fuzz
