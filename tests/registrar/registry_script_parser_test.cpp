#include "registrar/registry_script_parser.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "registrar/registrar_variables.h"
#include "registrar_fake_registry.h"

namespace zx {
namespace {

using namespace std::string_view_literals;
using Code = ScriptErrorCode;

// A class registration's values, whose module path holds a quote, and two
// more: Name's value looks like a replacement but is inserted as it is.
ScriptParseResult Parse(std::string_view utf8) {
  ScriptVariables variables =
      MakeClassScriptVariables({u"Zev_0", u"{clsid}", u"{libid}", u"C:\\a'b\\m.dll"});
  variables.insert({{u"Name", u"%Module%"}, {u"Zone", u"Zz"}});
  return ParseRegistryScriptUtf8(utf8, variables);
}

TEST(RegistryScriptParser, ReadsKeysFlagsValuesAndReplacements) {
  const struct {
    std::string_view script;
    std::u16string_view printed;  // as PrintRegistryScript prints it
  } cases[] = {
      {"hkcr { noremove A { FORCEREMOVE B = S 'x' { VAL v = D 1 } } DeLeTe C }",
       u"HKCR { NoRemove 'A' { ForceRemove 'B' = s 'x' { val 'v' = d 1 } } Delete 'C' }"},
      {"HKEY_LOCAL_MACHINE { A } hku { B } HKEY_current_user { C } HKCC { D } HKEY_USERS { E }",
       u"HKLM { 'A' } HKU { 'B' } HKCU { 'C' } HKCC { 'D' } HKU { 'E' }"},
      // Two quotes stand for one; quoted text is a name even when it looks
      // like a keyword or a brace, and a word may hold a quote.
      {"HKCR { 'It''s' = s 'O''Brien' { val 'a''b' = s '''' } 'e' = s '' it's }",
       u"HKCR { 'It''s' = s 'O''Brien' { val 'a''b' = s '''' } 'e' = s '' 'it''s' }"},
      {"HKCR { 'NoRemove' '{' = s '}' { val 'val' = s '=' val 'a\\b' = s 'x' } }",
       u"HKCR { 'NoRemove' '{' = s '}' { val 'val' = s '=' val 'a\\b' = s 'x' } }"},
      // Names match in any case; values are inserted once, not searched
      // again, and before quotes are read, so the path's quote is doubled.
      {"HKCR { %name% = s '%MODULE% %object_name%' %zONE% }",
       u"HKCR { '%%Module%%' = s 'C:\\a''b\\m.dll Zev_0' 'Zz' }"},
      {"HKCR { K = s '100%% %%%Module_Raw%%%' }", u"HKCR { 'K' = s '100%% %%C:\\a''b\\m.dll%%' }"},
      {"HKCR { K { val a = d '4294967295' val b = d 0x1F val c = d 0X1f val e = d 0 "
       "val f = b '00aBfF' val g = b '' val h = m 'one\\0two' val i = m '' val j = s bare } }",
       u"HKCR { 'K' { val 'a' = d 4294967295 val 'b' = d 31 val 'c' = d 31 val 'e' = d 0 "
       u"val 'f' = b '00abff' val 'g' = b '' val 'h' = m 'one\\0two' val 'i' = m '' "
       u"val 'j' = s 'bare' } }"},
      {"\xEF\xBB\xBFHKCR { 'Caf\xC3\xA9 \xF0\x9F\x98\x80' = s '\xE2\x82\xAC' }",
       u"HKCR { 'Caf\u00E9 \U0001F600' = s '\u20AC' }"},
  };
  for (const auto& c : cases) {
    const ScriptParseResult result = Parse(c.script);
    EXPECT_EQ(result.error.code, Code::kNone) << c.script;
    EXPECT_EQ(PrintRegistryScript(result.script), c.printed) << c.script;
  }
}

// Parsed from an exact heap copy, so a sanitizer sees any read past the end.
void ExpectRefused(std::string_view script, Code code, std::size_t line) {
  const auto copy = std::make_unique<char[]>(script.size());
  std::copy(script.begin(), script.end(), copy.get());
  const ScriptParseResult result = Parse({copy.get(), script.size()});
  EXPECT_EQ(result.error.code, code) << script;
  EXPECT_EQ(result.error.line, line) << script;
  EXPECT_TRUE(result.script.empty()) << script;
}

// Each refused on its first line; the encoding is checked before there are lines.
TEST(RegistryScriptParser, RefusesMalformedScriptsWithTheirCode) {
  const struct {
    Code code;
    std::vector<std::string_view> scripts;
  } cases[] = {
      {Code::kEmptyScript, {""}},
      {Code::kUnexpectedEnd, {"HKCR { A { B }", "HKCR { A = s"}},
      {Code::kUnexpectedToken,
       {"HKCR { A } }", "'HKCR' { A }", "HKCR { A = 's' 'x' }", "HKCR { A = }",
        "HKCR { A { val = s 'x' } }", "HKCR { ForceRemove }", "HKCR { Delete A = s 'x' }"}},
      {Code::kUnterminatedString, {"HKCR { A = s 'text }", "HKCR { 'A }"}},
      {Code::kUnknownRootKey, {"HKXX { A }"}},
      {Code::kExpectedOpenBrace, {"HKCR A", "HKCR"}},
      {Code::kUnknownValueType, {"HKCR { A = q 'x' }"}},
      {Code::kExpectedEquals, {"HKCR { A { val B s 'x' } }"}},
      {Code::kValueOutsideKey, {"HKCR { val B = s 'x' }"}},
      {Code::kMisplacedKeyword,
       {"HKCR { NoRemove ForceRemove A }", "HKCR { A { val val = s 'x' } }"}},
      {Code::kInvalidKeyName,
       {"HKCR { '' }", "HKCR { 'Software\\' }", "HKCR { A\\B }", "HKCR { 'A\0B' }"sv}},
      {Code::kInvalidValueName, {"HKCR { A { val '' = s 'x' } }"}},
      {Code::kInvalidValueData,
       {"HKCR { A = d '4294967296' }", "HKCR { A = d '-1' }", "HKCR { A = d '0x' }",
        "HKCR { A = d '' }", "HKCR { A = d 1a }", "HKCR { A = b 'abc' }", "HKCR { A = b 'zz' }",
        "HKCR { A = m 'a\\0\\0b' }", "HKCR { A = m 'a\\0' }"}},
      {Code::kUnknownVariable, {"HKCR { %OBJECT% }"}},
      {Code::kUnterminatedVariable, {"HKCR { K = s '50%' }"}},
      // Truncated, overlong (2 and 4 bytes), high and low surrogates, beyond
      // U+10FFFF, a stray continuation, never a lead byte, cut short at the end.
      {Code::kInvalidEncoding,
       {"HKCR { '\xC3' }", "HKCR { '\xE2\x82' }", "HKCR { '\xC0\xAF' }",
        "HKCR { '\xF0\x8F\xBF\xBF' }", "HKCR { '\xED\xA0\x80' }", "HKCR { '\xED\xB0\x80' }",
        "HKCR { '\xF4\x90\x80\x80' }", "HKCR { '\x80' }", "HKCR { \xFF }", "HKCR { A } \xE2\x82"}},
  };
  for (const auto& c : cases) {
    for (const std::string_view script : c.scripts) {
      ExpectRefused(script, c.code, c.code == Code::kInvalidEncoding ? 0 : 1);
    }
  }
}

// Lines of the replaced text, counted between tokens and inside quotes.
TEST(RegistryScriptParser, ErrorsNameTheirLine) {
  ExpectRefused(" \r\n\t ", Code::kEmptyScript, 2);
  ExpectRefused("HKCR {\n K = s '%Modul%' }", Code::kUnknownVariable, 2);
  ExpectRefused("HKCR\n{\n\tA = s 'open\n\n}", Code::kUnterminatedString, 3);
  ExpectRefused("HKCR {\n A = s 'two\nlines'\n = }", Code::kUnexpectedToken, 4);
  ExpectRefused("HKCR\n{\n\tA\n\t{\n\t\tval B s 'x'\n\t}\n}", Code::kExpectedEquals, 5);
}

std::u16string Nested(int depth) {
  std::u16string text = u"HKCR {";
  for (int i = 1; i < depth; ++i) text += u" K {";
  for (int i = 0; i < depth; ++i) text += u" }";
  return text;
}

TEST(RegistryScriptParser, NestingIsLimited) {
  EXPECT_TRUE(ParseRegistryScript(Nested(kMaxScriptNesting), {}).ok());
  EXPECT_EQ(ParseRegistryScript(Nested(kMaxScriptNesting + 1), {}).error.code,
            Code::kNestingTooDeep);
  // Far beyond the limit and unbalanced: a clean error, not a stack overflow.
  std::u16string deep = u"HKCR {";
  for (int i = 0; i < 200000; ++i) deep += u" K {";
  EXPECT_EQ(ParseRegistryScript(deep, {}).error.code, Code::kNestingTooDeep);
}

}  // namespace
}  // namespace zx
