#pragma once
// Why a registry script was rejected, and where.
#include <cstddef>

namespace zx {

enum class ScriptErrorCode {
  None,
  InvalidEncoding,       // the bytes are not UTF-8
  UnterminatedVariable,  // '%' without its closing '%'
  UnknownVariable,       // %NAME% with no replacement value
  EmptyScript,           // nothing but white space
  UnterminatedString,    // quoted text without its closing quote
  UnexpectedEnd,         // the text ends inside a block or an entry
  UnexpectedToken,       // a brace, '=' or word where it cannot stand
  UnknownRootKey,
  ExpectedOpenBrace,     // a root key without its block
  ExpectedEquals,        // 'val Name' without '='
  MisplacedKeyword,      // a keyword where a name belongs (quote the name)
  ValueOutsideKey,       // 'val' directly inside a root block
  InvalidKeyName,        // empty, or holding '\' or NUL
  InvalidValueName,      // empty, or holding NUL
  UnknownValueType,      // not s, d, b or m
  InvalidValueData,      // the text does not fit the value's type
  NestingTooDeep,
};

struct ScriptError {
  ScriptErrorCode code = ScriptErrorCode::None;
  std::size_t line = 0;  // 1-based line of the replaced text; 0 when not about a line
};

}  // namespace zx
