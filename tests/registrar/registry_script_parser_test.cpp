#include "registrar/registry_script_parser.h"

#include <gtest/gtest.h>

#include "registry_script_describe.h"
#include "registry_script_test_files.h"

namespace zx {
namespace {

using namespace std::string_view_literals;

const ScriptVariables kRequestVariables = {
    {u"OBJECT_NAME", u"ZevXMLHttpRequest_0"},
    {u"OBJECT_GUID_STRING", u"{52E9A0B4-C7D1-4A3E-95F8-2B6C8D17E045}"},
    {u"TYPELIB_GUID_STRING", u"{6B1F3D2A-41C7-4E8B-9A55-0C2D7E93F1A4}"},
    {u"Module", u"C:\\Program Files\\Zev\\zxmlhttp.dll"},
};

std::string Describe(std::u16string_view text, const ScriptVariables& variables = {}) {
  const ScriptParseResult result = ParseRegistryScript(text, variables);
  EXPECT_TRUE(result.ok()) << "code " << static_cast<int>(result.error.code) << " line "
                           << result.error.line << " in " << Narrow(text);
  return DescribeScript(result.script);
}

ScriptError ErrorOf(std::u16string_view text, const ScriptVariables& variables = {}) {
  const ScriptParseResult result = ParseRegistryScript(text, variables);
  EXPECT_TRUE(result.script.empty()) << "a rejected script must give no tree: " << Narrow(text);
  return result.error;
}

TEST(RegistryScriptParser, ClassScriptsGiveTheirKeysAndValues) {
  const char* const expected =
      "HKCR\n"
      "  Zxmlhttp.ZevXMLHttpRequest_0.1 = s 'ZevXMLHttpRequest_0 Class'\n"
      "    CLSID = s '{52E9A0B4-C7D1-4A3E-95F8-2B6C8D17E045}'\n"
      "  Zxmlhttp.ZevXMLHttpRequest_0 = s 'ZevXMLHttpRequest_0 Class'\n"
      "    CLSID = s '{52E9A0B4-C7D1-4A3E-95F8-2B6C8D17E045}'\n"
      "    CurVer = s 'Zxmlhttp.ZevXMLHttpRequest_0.1'\n"
      "  NoRemove CLSID\n"
      "    ForceRemove {52E9A0B4-C7D1-4A3E-95F8-2B6C8D17E045} = s 'ZevXMLHttpRequest_0 Class'\n"
      "      ProgID = s 'Zxmlhttp.ZevXMLHttpRequest_0.1'\n"
      "      VersionIndependentProgID = s 'Zxmlhttp.ZevXMLHttpRequest_0'\n"
      "      ForceRemove Programmable\n"
      "      InprocServer32 = s 'C:\\Program Files\\Zev\\zxmlhttp.dll'\n"
      "        val ThreadingModel = s 'Apartment'\n"
      "      TypeLib = s '{6B1F3D2A-41C7-4E8B-9A55-0C2D7E93F1A4}'\n";
  for (const char* file : {"xml_http_request.rgs", "file_dialog.rgs", "multi_file_dialog.rgs"}) {
    const std::string bytes = ReadRegistryScriptFile(file);
    ASSERT_FALSE(bytes.empty()) << file;
    const ScriptParseResult result = ParseRegistryScriptUtf8(bytes, kRequestVariables);
    ASSERT_TRUE(result.ok()) << file << ": code " << static_cast<int>(result.error.code) << " line "
                             << result.error.line;
    EXPECT_EQ(DescribeScript(result.script), expected) << file;
  }
}

TEST(RegistryScriptParser, KeywordsAndRootNamesMatchInAnyCase) {
  EXPECT_EQ(Describe(u"hkcr { noremove A { FORCEREMOVE B = S 'x' { VAL v = D 1 } } DeLeTe C }"),
            "HKCR\n"
            "  NoRemove A\n"
            "    ForceRemove B = s 'x'\n"
            "      val v = d 1\n"
            "  Delete C\n");
  EXPECT_EQ(Describe(u"HKEY_LOCAL_MACHINE { A } hku { B } HKEY_current_user { C } HKCC { D }"),
            "HKLM\n  A\nHKU\n  B\nHKCU\n  C\nHKCC\n  D\n");
}

TEST(RegistryScriptParser, TwoQuotesInQuotedTextStandForOne) {
  EXPECT_EQ(Describe(u"HKCR { 'It''s' = s 'O''Brien''s' { val 'a''b' = s '''' } 'e' = s '' }"),
            "HKCR\n"
            "  It's = s 'O'Brien's'\n"
            "    val a'b = s '''\n"
            "  e = s ''\n");
  // Quoted text is a name even when it looks like a keyword or a brace.
  EXPECT_EQ(Describe(u"HKCR { 'NoRemove' '{' = s '}' { val 'val' = s '=' } }"),
            "HKCR\n  NoRemove\n  { = s '}'\n    val val = s '='\n");
}

TEST(RegistryScriptParser, VariablesAreReplacedByNameInAnyCase) {
  const ScriptVariables variables = {{u"Module", u"C:\\x.dll"}, {u"Name", u"%Module%"}};
  EXPECT_EQ(Describe(u"HKCR { %name% = s '%MODULE% %module%' }", variables),
            "HKCR\n  %Module% = s 'C:\\x.dll C:\\x.dll'\n")
      << "values are inserted once, not searched again";
  EXPECT_EQ(Describe(u"HKCR { K = s '100%% %%%Module%%%' }", variables),
            "HKCR\n  K = s '100% %C:\\x.dll%'\n");
  // Replacement comes first, so a value's doubled quotes are halved by the quoting.
  EXPECT_EQ(Describe(u"HKCR { K = s '%Module%' }", {{u"Module", u"C:\\O''Brien\\x.dll"}}),
            "HKCR\n  K = s 'C:\\O'Brien\\x.dll'\n");
}

TEST(RegistryScriptParser, VariableWithoutValueOrEndIsRejected) {
  EXPECT_EQ(ErrorOf(u"HKCR { %OBJECT_NAME% }").code, ScriptErrorCode::kUnknownVariable);
  EXPECT_EQ(ErrorOf(u"HKCR {\n K = s '%Modul%' }", {{u"Module", u"x"}}).code,
            ScriptErrorCode::kUnknownVariable);
  EXPECT_EQ(ErrorOf(u"HKCR { K = s '50%' }").code, ScriptErrorCode::kUnterminatedVariable);
}

TEST(RegistryScriptParser, ValueTypesGiveTheirData) {
  EXPECT_EQ(Describe(u"HKCR { K { val a = d '4294967295' val b = d 0x1F val c = d 0 "
                     u"val e = b '00aBfF' val f = b '' val g = m 'one\\0two' val h = m '' "
                     u"val i = s bare } }"),
            "HKCR\n  K\n"
            "    val a = d 4294967295\n"
            "    val b = d 31\n"
            "    val c = d 0\n"
            "    val e = b 00abff\n"
            "    val f = b \n"
            "    val g = m 'one\\0two'\n"
            "    val h = m ''\n"
            "    val i = s 'bare'\n");
}

TEST(RegistryScriptParser, MalformedScriptsAreRejectedWithTheirCode) {
  const struct {
    std::u16string_view text;
    ScriptErrorCode code;
  } cases[] = {
      {u"", ScriptErrorCode::kEmptyScript},
      {u" \r\n\t ", ScriptErrorCode::kEmptyScript},
      {u"HKCR { A { B }", ScriptErrorCode::kUnexpectedEnd},
      {u"HKCR { A } }", ScriptErrorCode::kUnexpectedToken},
      {u"HKCR { } {", ScriptErrorCode::kUnexpectedToken},
      {u"HKCR { A = s 'text }", ScriptErrorCode::kUnterminatedString},
      {u"HKCR { 'A }", ScriptErrorCode::kUnterminatedString},
      {u"HKXX { A }", ScriptErrorCode::kUnknownRootKey},
      {u"'HKCR' { A }", ScriptErrorCode::kUnexpectedToken},
      {u"HKCR A", ScriptErrorCode::kExpectedOpenBrace},
      {u"HKCR", ScriptErrorCode::kExpectedOpenBrace},
      {u"HKCR { A = q 'x' }", ScriptErrorCode::kUnknownValueType},
      {u"HKCR { A = 's' 'x' }", ScriptErrorCode::kUnexpectedToken},
      {u"HKCR { A = s }", ScriptErrorCode::kUnexpectedToken},
      {u"HKCR { A = s", ScriptErrorCode::kUnexpectedEnd},
      {u"HKCR { A = }", ScriptErrorCode::kUnexpectedToken},
      {u"HKCR { A { val B s 'x' } }", ScriptErrorCode::kExpectedEquals},
      {u"HKCR { A { val = s 'x' } }", ScriptErrorCode::kUnexpectedToken},
      {u"HKCR { val B = s 'x' }", ScriptErrorCode::kValueOutsideKey},
      {u"HKCR { NoRemove ForceRemove A }", ScriptErrorCode::kMisplacedKeyword},
      {u"HKCR { A { val val = s 'x' } }", ScriptErrorCode::kMisplacedKeyword},
      {u"HKCR { ForceRemove }", ScriptErrorCode::kUnexpectedToken},
      {u"HKCR { Delete A = s 'x' }", ScriptErrorCode::kUnexpectedToken},
      {u"HKCR { Delete A { B } }", ScriptErrorCode::kUnexpectedToken},
      {u"HKCR { '' }", ScriptErrorCode::kInvalidKeyName},
      {u"HKCR { 'Software\\' }", ScriptErrorCode::kInvalidKeyName},
      {u"HKCR { A\\B }", ScriptErrorCode::kInvalidKeyName},
      {u"HKCR { 'A\0B' }"sv, ScriptErrorCode::kInvalidKeyName},
      {u"HKCR { A { val '' = s 'x' } }", ScriptErrorCode::kInvalidValueName},
      {u"HKCR { A = d '4294967296' }", ScriptErrorCode::kInvalidValueData},
      {u"HKCR { A = d '-1' }", ScriptErrorCode::kInvalidValueData},
      {u"HKCR { A = d '0x' }", ScriptErrorCode::kInvalidValueData},
      {u"HKCR { A = d '' }", ScriptErrorCode::kInvalidValueData},
      {u"HKCR { A = d 12ab }", ScriptErrorCode::kInvalidValueData},
      {u"HKCR { A = b 'abc' }", ScriptErrorCode::kInvalidValueData},
      {u"HKCR { A = b 'zz' }", ScriptErrorCode::kInvalidValueData},
      {u"HKCR { A = m 'a\\0\\0b' }", ScriptErrorCode::kInvalidValueData},
      {u"HKCR { A = m 'a\\0' }", ScriptErrorCode::kInvalidValueData},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ErrorOf(c.text).code, c.code) << Narrow(c.text);
  }
}

TEST(RegistryScriptParser, ErrorsNameTheLineOfTheReplacedText) {
  EXPECT_EQ(ErrorOf(u"HKCR\n{\n\tA\n\t{\n\t\tval B s 'x'\n\t}\n}").line, 5u);
  EXPECT_EQ(ErrorOf(u"HKCR\n{\n\tA = s 'open\n\n}").line, 3u);
  EXPECT_EQ(ErrorOf(u"HKCR\n{\n\tA = s '%X%'\n\t%Y%\n}", {{u"X", u"x"}}).line, 4u);
}

std::u16string Nested(int depth) {
  std::u16string text = u"HKCR {";
  for (int i = 1; i < depth; ++i) text += u" K {";
  for (int i = 0; i < depth; ++i) text += u" }";
  return text;
}

TEST(RegistryScriptParser, NestingIsLimited) {
  EXPECT_TRUE(ParseRegistryScript(Nested(kMaxScriptNesting), {}).ok());
  EXPECT_EQ(ErrorOf(Nested(kMaxScriptNesting + 1)).code, ScriptErrorCode::kNestingTooDeep);
  // Far beyond the limit, unbalanced: still a clean error, not a stack overflow.
  std::u16string deep = u"HKCR {";
  for (int i = 0; i < 200000; ++i) deep += u" K {";
  EXPECT_EQ(ErrorOf(deep).code, ScriptErrorCode::kNestingTooDeep);
}

TEST(RegistryScriptParser, Utf8IsDecodedStrictly) {
  const ScriptParseResult withMark = ParseRegistryScriptUtf8(
      "\xEF\xBB\xBFHKCR { 'Caf\xC3\xA9 \xF0\x9F\x98\x80' = s '\xE2\x82\xAC' }", {});
  ASSERT_TRUE(withMark.ok());
  EXPECT_EQ(DescribeScript(withMark.script), "HKCR\n  Caf\\u00e9 \\ud83d\\ude00 = s '\\u20ac'\n");

  for (std::string_view bytes :
       {"HKCR { '\xC3' }", "HKCR { '\xC0\xAF' }", "HKCR { '\xED\xA0\x80' }",
        "HKCR { '\xF4\x90\x80\x80' }", "HKCR { '\x80' }", "HKCR { \xFF }", "HKCR { '\xE2\x82' }"}) {
    const ScriptParseResult result = ParseRegistryScriptUtf8(bytes, {});
    EXPECT_EQ(result.error.code, ScriptErrorCode::kInvalidEncoding)
        << Narrow(std::u16string(bytes.begin(), bytes.end()));
    EXPECT_TRUE(result.script.empty());
  }
}

}  // namespace
}  // namespace zx
