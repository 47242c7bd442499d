#include "registry_script_text.h"

namespace zx {
namespace {

// Indexed by KeyFlag and by RegistryRoot.
constexpr std::string_view kFlagWords[] = {"", "NoRemove ", "ForceRemove ", "Delete "};
constexpr std::string_view kRootNames[] = {"HKCR", "HKCU", "HKLM", "HKU", "HKCC"};

std::u16string Ascii(std::string_view text) { return {text.begin(), text.end()}; }

std::u16string Quoted(std::u16string_view text) {
  std::u16string quoted = u"'";
  for (const char16_t c : text) quoted.append(c == u'\'' || c == u'%' ? 2 : 1, c);
  return quoted + u'\'';
}

struct ValueText {
  std::u16string operator()(const std::u16string& text) const { return u"s " + Quoted(text); }
  std::u16string operator()(std::uint32_t number) const {
    return Ascii("d " + std::to_string(number));
  }
  std::u16string operator()(const RegistryBinary& bytes) const {
    constexpr std::u16string_view kHex = u"0123456789abcdef";
    std::u16string hex;
    for (const std::uint8_t byte : bytes) hex += {kHex[byte >> 4], kHex[byte & 15]};
    return u"b '" + hex + u'\'';
  }
  std::u16string operator()(const RegistryMultiString& strings) const {
    std::u16string joined;
    for (std::size_t i = 0; i < strings.size(); ++i) joined += (i ? u"\\0" : u"") + strings[i];
    return u"m " + Quoted(joined);
  }
};

std::u16string KeysText(const std::vector<ScriptKey>& keys) {
  std::u16string text;
  for (const ScriptKey& key : keys) {
    text += u' ' + Ascii(kFlagWords[static_cast<int>(key.flag)]) + Quoted(key.name);
    if (key.defaultValue) text += u" = " + std::visit(ValueText(), *key.defaultValue);
    if (key.values.empty() && key.subkeys.empty()) continue;
    text += u" {";
    for (const ScriptValue& value : key.values) {
      text += u" val " + Quoted(value.name) + u" = " + std::visit(ValueText(), value.data);
    }
    text += KeysText(key.subkeys) + u" }";
  }
  return text;
}

}  // namespace

std::u16string PrintRegistryScript(const RegistryScript& script) {
  std::u16string text;
  for (const ScriptRoot& root : script) {
    if (!text.empty()) text += u' ';
    text += Ascii(kRootNames[static_cast<int>(root.root)]) + u" {" + KeysText(root.keys) + u" }";
  }
  return text;
}

}  // namespace zx
