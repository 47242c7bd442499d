#include "registrar/registry_script_lexer.h"

namespace zx {
namespace {

bool IsWhiteSpace(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\v' || c == u'\f';
}

ScriptToken::Kind ClassifyWord(std::u16string_view word) {
  if (word == u"{") return ScriptToken::Kind::OpenBrace;
  if (word == u"}") return ScriptToken::Kind::CloseBrace;
  if (word == u"=") return ScriptToken::Kind::Equals;
  return ScriptToken::Kind::Word;
}

}  // namespace

bool ScriptLexer::Next(ScriptToken& token, ScriptError& error) {
  SkipWhiteSpace();
  token.text.clear();
  token.line = m_line;
  if (m_pos == m_text.size()) {
    token.kind = ScriptToken::Kind::End;
    return true;
  }
  if (m_text[m_pos] == u'\'') {
    if (ReadQuoted(token)) return true;
    error = {ScriptErrorCode::UnterminatedString, token.line};
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
  token.kind = ScriptToken::Kind::Quoted;
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
  if (token.kind == ScriptToken::Kind::Word) token.text = word;
}

}  // namespace zx
