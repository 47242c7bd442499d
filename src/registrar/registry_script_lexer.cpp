#include "registrar/registry_script_lexer.h"

namespace zx {
namespace {

bool IsWhiteSpace(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\v' || c == u'\f';
}

ScriptToken::Kind ClassifyWord(std::u16string_view word) {
  if (word == u"{") return ScriptToken::Kind::kOpenBrace;
  if (word == u"}") return ScriptToken::Kind::kCloseBrace;
  if (word == u"=") return ScriptToken::Kind::kEquals;
  return ScriptToken::Kind::kWord;
}

}  // namespace

bool ScriptLexer::Next(ScriptToken& token, ScriptError& error) {
  SkipWhiteSpace();
  token.text.clear();
  token.line = m_line;
  if (m_pos == m_text.size()) {
    token.kind = ScriptToken::Kind::kEnd;
    return true;
  }
  if (m_text[m_pos] == u'\'') {
    if (ReadQuoted(token)) return true;
    error = {ScriptErrorCode::kUnterminatedString, token.line};
    return false;
  }
  ReadWord(token);
  return true;
}

void ScriptLexer::SkipWhiteSpace() {
  while (m_pos < m_text.size() && IsWhiteSpace(m_text[m_pos])) {
    if (m_text[m_pos] == u'\n') ++m_line;
    ++m_pos;
  }
}

bool ScriptLexer::ReadQuoted(ScriptToken& token) {
  token.kind = ScriptToken::Kind::kQuoted;
  ++m_pos;  // opening quote
  while (m_pos < m_text.size()) {
    const char16_t c = m_text[m_pos++];
    if (c == u'\'') {
      if (m_pos == m_text.size() || m_text[m_pos] != u'\'') return true;
      ++m_pos;  // the second of a doubled quote
    } else if (c == u'\n') {
      ++m_line;
    }
    token.text += c;
  }
  return false;
}

void ScriptLexer::ReadWord(ScriptToken& token) {
  const std::size_t start = m_pos;
  while (m_pos < m_text.size() && !IsWhiteSpace(m_text[m_pos])) ++m_pos;
  const std::u16string_view word = m_text.substr(start, m_pos - start);
  token.kind = ClassifyWord(word);
  if (token.kind == ScriptToken::Kind::kWord) token.text = word;
}

}  // namespace zx
