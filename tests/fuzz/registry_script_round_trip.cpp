#include "registry_script_round_trip.h"

#include <algorithm>
#include <string_view>
#include <variant>

#include "registry_script_describe.h"

namespace zx {
namespace {

void AppendAscii(std::string_view text, std::u16string& out) { out.append(text.begin(), text.end()); }

void AppendQuoted(std::u16string_view text, std::u16string& out) {
  out += u'\'';
  for (const char16_t c : text) {
    if (c == u'\'' || c == u'%') out += c;
    out += c;
  }
  out += u'\'';
}

struct ValuePrinter {
  std::u16string& out;

  void operator()(const std::u16string& text) const {
    out += u"s ";
    AppendQuoted(text, out);
  }
  void operator()(std::uint32_t number) const { AppendAscii("d " + std::to_string(number), out); }
  void operator()(const RegistryBinary& bytes) const {
    static constexpr char kHex[] = "0123456789abcdef";
    out += u"b '";
    for (const std::uint8_t byte : bytes) {
      out += static_cast<char16_t>(kHex[byte >> 4]);
      out += static_cast<char16_t>(kHex[byte & 0xF]);
    }
    out += u'\'';
  }
  void operator()(const RegistryMultiString& strings) const {
    std::u16string joined;
    for (const std::u16string& item : strings) joined += (joined.empty() ? u"" : u"\\0") + item;
    out += u"m ";
    AppendQuoted(joined, out);
  }
};

const char* FlagKeyword(KeyFlag flag) {
  switch (flag) {
    case KeyFlag::kNone: return "";
    case KeyFlag::kNoRemove: return "NoRemove ";
    case KeyFlag::kForceRemove: return "ForceRemove ";
    case KeyFlag::kDelete: return "Delete ";
  }
  return "";
}

void PrintKeys(const std::vector<ScriptKey>& keys, std::u16string& out) {
  for (const ScriptKey& key : keys) {
    AppendAscii(FlagKeyword(key.flag), out);
    AppendQuoted(key.name, out);
    if (key.flag == KeyFlag::kDelete) {  // names only its key
      out += u'\n';
      continue;
    }
    if (key.defaultValue) {
      out += u" = ";
      std::visit(ValuePrinter{out}, *key.defaultValue);
    }
    out += u"\n{\n";
    for (const ScriptValue& value : key.values) {
      out += u"val ";
      AppendQuoted(value.name, out);
      out += u" = ";
      std::visit(ValuePrinter{out}, value.data);
      out += u'\n';
    }
    PrintKeys(key.subkeys, out);
    out += u"}\n";
  }
}

bool SameKeys(const std::vector<ScriptKey>& a, const std::vector<ScriptKey>& b);

bool SameKey(const ScriptKey& a, const ScriptKey& b) {
  return a.name == b.name && a.flag == b.flag && a.defaultValue == b.defaultValue &&
         a.values.size() == b.values.size() &&
         std::equal(a.values.begin(), a.values.end(), b.values.begin(),
                    [](const ScriptValue& x, const ScriptValue& y) {
                      return x.name == y.name && x.data == y.data;
                    }) &&
         SameKeys(a.subkeys, b.subkeys);
}

bool SameKeys(const std::vector<ScriptKey>& a, const std::vector<ScriptKey>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), SameKey);
}

}  // namespace

std::u16string PrintRegistryScript(const RegistryScript& script) {
  std::u16string out;
  for (const ScriptRoot& root : script) {
    AppendAscii(DescribeRoot(root.root), out);
    out += u"\n{\n";
    PrintKeys(root.keys, out);
    out += u"}\n";
  }
  return out;
}

bool SameRegistryScript(const RegistryScript& a, const RegistryScript& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](const ScriptRoot& x, const ScriptRoot& y) {
                      return x.root == y.root && SameKeys(x.keys, y.keys);
                    });
}

}  // namespace zx
