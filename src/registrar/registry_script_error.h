#pragma once
// Why a registry script was rejected, and where.
#include <cstddef>

namespace zx {

enum class ScriptErrorCode {
  kNone,
  kInvalidEncoding,       // the bytes are not UTF-8
  kUnterminatedVariable,  // '%' without its closing '%'
  kUnknownVariable,       // %NAME% with no replacement value
  kEmptyScript,           // nothing but white space
  kUnterminatedString,    // quoted text without its closing quote
  kUnexpectedEnd,         // the text ends inside a block or an entry
  kUnexpectedToken,       // a brace, '=' or word where it cannot stand
  kUnknownRootKey,
  kExpectedOpenBrace,  // a root key without its block
  kExpectedEquals,     // 'val Name' without '='
  kMisplacedKeyword,   // a keyword where a name belongs (quote the name)
  kValueOutsideKey,    // 'val' directly inside a root block
  kInvalidKeyName,     // empty, or holding '\' or NUL
  kInvalidValueName,   // empty, or holding NUL
  kUnknownValueType,   // not s, d, b or m
  kInvalidValueData,   // the text does not fit the value's type
  kNestingTooDeep,
};

struct ScriptError {
  ScriptErrorCode code = ScriptErrorCode::kNone;
  std::size_t line = 0;  // 1-based line of the replaced text; 0 when not about a line
};

}  // namespace zx
