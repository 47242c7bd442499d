#include "registrar/registry_script_parser.h"

#include <utility>

#include "common/ascii_text.h"
#include "registrar/registry_script_lexer.h"
#include "registrar/registry_script_utf8.h"
#include "registrar/registry_script_value_data.h"

namespace zx {
namespace {

using Kind = ScriptToken::Kind;

struct RootName {
  std::u16string_view shortName;
  std::u16string_view longName;
  RegistryRoot root;
};

constexpr RootName kRootNames[] = {
    {u"HKCR", u"HKEY_CLASSES_ROOT", RegistryRoot::kClassesRoot},
    {u"HKCU", u"HKEY_CURRENT_USER", RegistryRoot::kCurrentUser},
    {u"HKLM", u"HKEY_LOCAL_MACHINE", RegistryRoot::kLocalMachine},
    {u"HKU", u"HKEY_USERS", RegistryRoot::kUsers},
    {u"HKCC", u"HKEY_CURRENT_CONFIG", RegistryRoot::kCurrentConfig},
};

bool FindRoot(std::u16string_view word, RegistryRoot& root) {
  for (const RootName& name : kRootNames) {
    if (EqualsIgnoreAsciiCase(word, name.shortName) || EqualsIgnoreAsciiCase(word, name.longName)) {
      root = name.root;
      return true;
    }
  }
  return false;
}

bool ReadFlag(std::u16string_view word, KeyFlag& flag) {
  if (EqualsIgnoreAsciiCase(word, u"NoRemove"))
    flag = KeyFlag::kNoRemove;
  else if (EqualsIgnoreAsciiCase(word, u"ForceRemove"))
    flag = KeyFlag::kForceRemove;
  else if (EqualsIgnoreAsciiCase(word, u"Delete"))
    flag = KeyFlag::kDelete;
  else
    return false;
  return true;
}

bool IsValueKeyword(std::u16string_view word) { return EqualsIgnoreAsciiCase(word, u"val"); }

bool IsEntryKeyword(std::u16string_view word) {
  KeyFlag ignored;
  return IsValueKeyword(word) || ReadFlag(word, ignored);
}

// A NUL would cut the name short at the Win32 boundary and a '\' would make
// a key name a path, so either could make a deletion hit another key.
bool IsValidName(std::u16string_view name, bool isKey) {
  return !name.empty() && name.find(u'\0') == std::u16string_view::npos &&
         !(isKey && name.find(u'\\') != std::u16string_view::npos);
}

class Parser {
 public:
  explicit Parser(std::u16string_view text) : m_lexer(text) {}

  bool ParseScript(RegistryScript& script);
  const ScriptError& Error() const { return m_error; }

 private:
  bool Advance() { return m_lexer.Next(m_token, m_error); }
  bool Fail(ScriptErrorCode code) {
    m_error = {code, m_token.line};
    return false;
  }
  bool FailUnexpected() {
    return Fail(m_token.kind == Kind::kEnd ? ScriptErrorCode::kUnexpectedEnd
                                           : ScriptErrorCode::kUnexpectedToken);
  }

  bool ParseRoot(ScriptRoot& root);
  bool ParseBlock(std::vector<ScriptKey>& subkeys, std::vector<ScriptValue>* values, int depth);
  bool ParseKey(std::vector<ScriptKey>& keys, int depth);
  bool ParseNamedValue(std::vector<ScriptValue>& values);
  bool ParseName(std::u16string& name, bool isKey);
  bool ParseValue(RegistryValue& value);

  ScriptLexer m_lexer;
  ScriptToken m_token;
  ScriptError m_error;
};

bool Parser::ParseScript(RegistryScript& script) {
  if (!Advance()) return false;
  if (m_token.kind == Kind::kEnd) return Fail(ScriptErrorCode::kEmptyScript);
  while (m_token.kind != Kind::kEnd) {
    script.emplace_back();
    if (!ParseRoot(script.back())) return false;
  }
  return true;
}

bool Parser::ParseRoot(ScriptRoot& root) {
  if (m_token.kind != Kind::kWord) return FailUnexpected();
  if (!FindRoot(m_token.text, root.root)) return Fail(ScriptErrorCode::kUnknownRootKey);
  if (!Advance()) return false;
  if (m_token.kind != Kind::kOpenBrace) return Fail(ScriptErrorCode::kExpectedOpenBrace);
  return ParseBlock(root.keys, nullptr, 1);
}

// Starts on the block's '{'; `values` is null where named values cannot stand.
bool Parser::ParseBlock(std::vector<ScriptKey>& subkeys, std::vector<ScriptValue>* values,
                        int depth) {
  if (depth > kMaxScriptNesting) return Fail(ScriptErrorCode::kNestingTooDeep);
  if (!Advance()) return false;
  while (m_token.kind != Kind::kCloseBrace) {
    if (m_token.kind == Kind::kWord && IsValueKeyword(m_token.text)) {
      if (!values) return Fail(ScriptErrorCode::kValueOutsideKey);
      if (!ParseNamedValue(*values)) return false;
    } else if (!ParseKey(subkeys, depth)) {
      return false;
    }
  }
  return Advance();
}

bool Parser::ParseKey(std::vector<ScriptKey>& keys, int depth) {
  ScriptKey key;
  if (m_token.kind == Kind::kWord && ReadFlag(m_token.text, key.flag) && !Advance()) return false;
  if (!ParseName(key.name, true)) return false;
  if (key.flag != KeyFlag::kDelete) {
    if (m_token.kind == Kind::kEquals) {
      if (!Advance() || !ParseValue(key.defaultValue.emplace())) return false;
    }
    if (m_token.kind == Kind::kOpenBrace && !ParseBlock(key.subkeys, &key.values, depth + 1)) {
      return false;
    }
  }
  keys.push_back(std::move(key));
  return true;
}

bool Parser::ParseNamedValue(std::vector<ScriptValue>& values) {
  ScriptValue value;
  if (!Advance() || !ParseName(value.name, false)) return false;
  if (m_token.kind != Kind::kEquals) return Fail(ScriptErrorCode::kExpectedEquals);
  if (!Advance() || !ParseValue(value.data)) return false;
  values.push_back(std::move(value));
  return true;
}

bool Parser::ParseName(std::u16string& name, bool isKey) {
  if (m_token.kind == Kind::kWord && IsEntryKeyword(m_token.text)) {
    return Fail(ScriptErrorCode::kMisplacedKeyword);
  }
  if (m_token.kind != Kind::kWord && m_token.kind != Kind::kQuoted) return FailUnexpected();
  if (!IsValidName(m_token.text, isKey)) {
    return Fail(isKey ? ScriptErrorCode::kInvalidKeyName : ScriptErrorCode::kInvalidValueName);
  }
  name = std::move(m_token.text);
  return Advance();
}

bool Parser::ParseValue(RegistryValue& value) {
  if (m_token.kind != Kind::kWord) return FailUnexpected();
  const std::u16string type = std::move(m_token.text);
  if (!Advance()) return false;
  if (m_token.kind != Kind::kWord && m_token.kind != Kind::kQuoted) return FailUnexpected();
  const ScriptErrorCode code = MakeScriptValueData(type, m_token.text, value);
  if (code != ScriptErrorCode::kNone) return Fail(code);
  return Advance();
}

}  // namespace

ScriptParseResult ParseRegistryScript(std::u16string_view text, const ScriptVariables& variables) {
  ScriptParseResult result;
  std::u16string expanded;
  result.error = ExpandScriptVariables(text, variables, expanded);
  if (!result.ok()) return result;
  Parser parser(expanded);
  if (!parser.ParseScript(result.script)) {
    result.script.clear();
    result.error = parser.Error();
  }
  return result;
}

ScriptParseResult ParseRegistryScriptUtf8(std::string_view bytes,
                                          const ScriptVariables& variables) {
  std::u16string text;
  if (!DecodeScriptUtf8(bytes, text)) {
    ScriptParseResult result;
    result.error = {ScriptErrorCode::kInvalidEncoding, 0};
    return result;
  }
  return ParseRegistryScript(text, variables);
}

}  // namespace zx
