#include "registry_script_describe.h"

#include <cstdio>

namespace zx {
namespace {

const char* FlagPrefix(KeyFlag flag) {
  switch (flag) {
    case KeyFlag::kNone: return "";
    case KeyFlag::kNoRemove: return "NoRemove ";
    case KeyFlag::kForceRemove: return "ForceRemove ";
    case KeyFlag::kDelete: return "Delete ";
  }
  return "?";
}

struct ValueDescriber {
  std::string operator()(const std::u16string& text) const { return "s '" + Narrow(text) + "'"; }
  std::string operator()(std::uint32_t number) const { return "d " + std::to_string(number); }
  std::string operator()(const RegistryBinary& bytes) const {
    std::string text = "b ";
    char hex[3];
    for (std::uint8_t byte : bytes) {
      std::snprintf(hex, sizeof hex, "%02x", byte);
      text += hex;
    }
    return text;
  }
  std::string operator()(const RegistryMultiString& strings) const {
    std::string text = "m '";
    for (std::size_t i = 0; i < strings.size(); ++i) text += (i ? "\\0" : "") + Narrow(strings[i]);
    return text + "'";
  }
};

void DescribeKey(const ScriptKey& key, const std::string& indent, std::string& text) {
  text += indent + FlagPrefix(key.flag) + Narrow(key.name);
  if (key.defaultValue) text += " = " + DescribeValue(*key.defaultValue);
  text += "\n";
  for (const ScriptValue& value : key.values) {
    text += indent + "  val " + Narrow(value.name) + " = " + DescribeValue(value.data) + "\n";
  }
  for (const ScriptKey& subkey : key.subkeys) DescribeKey(subkey, indent + "  ", text);
}

}  // namespace

const char* DescribeRoot(RegistryRoot root) {
  switch (root) {
    case RegistryRoot::kClassesRoot: return "HKCR";
    case RegistryRoot::kCurrentUser: return "HKCU";
    case RegistryRoot::kLocalMachine: return "HKLM";
    case RegistryRoot::kUsers: return "HKU";
    case RegistryRoot::kCurrentConfig: return "HKCC";
  }
  return "?";
}

std::string Narrow(std::u16string_view text) {
  std::string narrow;
  for (char16_t c : text) {
    if (c >= 0x20 && c < 0x7F) {
      narrow += static_cast<char>(c);
    } else {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
      narrow += escape;
    }
  }
  return narrow;
}

std::string DescribeValue(const RegistryValue& value) {
  return std::visit(ValueDescriber{}, value);
}

std::string DescribeScript(const RegistryScript& script) {
  std::string text;
  for (const ScriptRoot& root : script) {
    text += std::string(DescribeRoot(root.root)) + "\n";
    for (const ScriptKey& key : root.keys) DescribeKey(key, "  ", text);
  }
  return text;
}

}  // namespace zx
