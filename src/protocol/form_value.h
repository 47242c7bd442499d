// Finding and percent-decoding one parameter of form data ("a=1&json=...").
//
// The service speaks no URL encoding, so the `json` value is decoded here and
// its bytes go onto the pipe as they come out: no re-encoding, "+" stays "+".
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace zx {

// Compares `n` bytes of the zero-terminated `name` and `candidate`, ASCII
// case-insensitively. Returns 0 when equal, else the difference of the first
// differing bytes after lowering.
int NameEqualsNoCase(const char* name, const char* candidate, std::ptrdiff_t n);

// Decodes %XX escapes (either hex case) of `source` into `out`. A "%" not
// followed by two hex digits inside `source` is copied unchanged. Writes at
// most `outCapacity - 1` bytes plus a terminating zero; never reads at or past
// `sourceLength`. Returns the number of bytes written before the terminator
// (0, writing nothing, when `outCapacity` is not positive).
std::ptrdiff_t PercentDecode(const char* source, std::ptrdiff_t sourceLength, char* out,
                             std::ptrdiff_t outCapacity);

// Finds the first parameter called `name` (zero-terminated ASCII, any case) in
// `dataLength` bytes of form data and decodes its value into `out` as
// PercentDecode does. A parameter starts at the start of the data or right
// after "&" or "?". Returns the decoded length, or -1 when there is no such parameter.
std::ptrdiff_t FindFormValue(const char* name, const char* data, std::ptrdiff_t dataLength,
                             char* out, std::ptrdiff_t outCapacity);

// The decoded `json` parameter of UTF-8 form data, or nothing when absent.
// Every byte of `formUtf8` is searched: the GET lookup passes its URL text
// converted to UTF-8 and counted in bytes, not in UTF-16 units, so a URL with
// non-ASCII characters does not lose the end of its value.
// Throws std::bad_alloc when the value cannot be held; callers at the COM
// boundary catch it.
std::optional<std::string> FindJsonFormValue(std::string_view formUtf8);

}  // namespace zx
