#pragma once
// Strict UTF-8 to UTF-16 decoding of a script resource's bytes.
#include <string>
#include <string_view>

namespace zx {

// Skips a leading byte-order mark. Returns false, with `text` unspecified,
// on any byte sequence that is not well-formed UTF-8 (overlong forms,
// surrogates and values above U+10FFFF included).
bool DecodeScriptUtf8(std::string_view bytes, std::u16string& text);

}  // namespace zx
