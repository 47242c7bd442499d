#pragma once
// Splits a registry script (after replacement) into tokens.
//
// A word runs to the next white space, so a key name such as a CLSID in
// braces stays one word; a word that is only "{", "}" or "=" is punctuation.
// Quoted text runs from ' to the next lone ', two quotes inside standing for
// one; it is always a name or a value, never a keyword or punctuation.
#include <cstddef>
#include <string>
#include <string_view>

#include "registrar/registry_script_error.h"

namespace zx {

struct ScriptToken {
  enum class Kind { kEnd, kWord, kQuoted, kOpenBrace, kCloseBrace, kEquals };
  Kind kind = Kind::kEnd;
  std::u16string text;  // words and quoted text only
  std::size_t line = 1;
};

class ScriptLexer {
 public:
  explicit ScriptLexer(std::u16string_view text) : m_text(text) {}

  // Reads the next token; false, with `error` set, on unterminated quotes.
  bool Next(ScriptToken& token, ScriptError& error);

 private:
  void SkipWhiteSpace();
  bool ReadQuoted(ScriptToken& token);
  void ReadWord(ScriptToken& token);

  std::u16string_view m_text;
  std::size_t m_pos = 0;
  std::size_t m_line = 1;
};

}  // namespace zx
