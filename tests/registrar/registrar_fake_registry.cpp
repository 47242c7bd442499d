#include "registrar_fake_registry.h"

#include <stdexcept>

#include "registrar/registry_script_parser.h"

namespace zx {
namespace {

using Node = FakeRegistry::Node;
using Name = std::u16string_view;
using Op = FakeOperation;

constexpr RegistryStatus kKeyDeleted = 1018;  // ERROR_KEY_DELETED

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

class FakeKey final : public RegistryKey {
 public:
  FakeKey(FakeRegistry& registry, RegistryRoot root, std::vector<std::u16string> path)
      : m_registry(registry), m_root(root), m_path(std::move(path)) {}

  RegistryStatus OpenSubkey(Name name, std::unique_ptr<RegistryKey>& subkey) override {
    return Change(Op::kOpen, name, [&](Node& node) {
      if (!node.subkeys.count(name)) return kRegistryNotFound;
      if (const RegistryStatus vanished = m_registry.InjectedFailure(Op::kVanish, name)) {
        node.subkeys.erase(node.subkeys.find(name));
        return vanished;
      }
      return Open(name, subkey);
    });
  }
  RegistryStatus CreateSubkey(Name name, std::unique_ptr<RegistryKey>& subkey) override {
    return Change(Op::kCreate, name, [&](Node& node) {
      node.subkeys.try_emplace(std::u16string(name));
      return Open(name, subkey);
    });
  }
  RegistryStatus SetValue(Name name, const RegistryValue& value) override {
    return Change(Op::kSetValue, name, [&](Node& node) {
      node.values.insert_or_assign(std::u16string(name), value);
      return kRegistryOk;
    });
  }
  RegistryStatus DeleteValue(Name name) override {
    return Change(Op::kDeleteValue, name, [&](Node& node) {
      return node.values.erase(std::u16string(name)) ? kRegistryOk : kRegistryNotFound;
    });
  }
  RegistryStatus DeleteEmptySubkey(Name name) override {
    return Change(Op::kDeleteKey, name, [&](Node& node) {
      const auto found = node.subkeys.find(name);
      if (found == node.subkeys.end()) return kRegistryNotFound;
      if (!found->second.subkeys.empty()) return kFakeAccessDenied;
      node.subkeys.erase(found);
      return kRegistryOk;
    });
  }
  RegistryStatus ListSubkeys(std::vector<std::u16string>& names) override {
    return Change(Op::kList, m_path.empty() ? u"" : m_path.back(), [&](Node& node) {
      names.clear();
      for (const auto& subkey : node.subkeys) names.push_back(subkey.first);
      return kRegistryOk;
    });
  }

 private:
  // An injected failure, or a handle to a deleted key, stops the change.
  template <class Changer>
  RegistryStatus Change(Op operation, Name name, Changer change) {
    if (const RegistryStatus status = m_registry.InjectedFailure(operation, name)) return status;
    Node* node = m_registry.Find(m_root, m_path);
    return node ? change(*node) : kKeyDeleted;
  }

  RegistryStatus Open(Name name, std::unique_ptr<RegistryKey>& subkey) const {
    std::vector<std::u16string> path = m_path;
    path.emplace_back(name);
    subkey = std::make_unique<FakeKey>(m_registry, m_root, std::move(path));
    return kRegistryOk;
  }

  FakeRegistry& m_registry;
  RegistryRoot m_root;
  std::vector<std::u16string> m_path;
};

void AddKeys(const std::vector<ScriptKey>& keys, Node& node) {
  for (const ScriptKey& key : keys) {
    Node& child = node.subkeys[key.name];
    if (key.defaultValue) child.values.insert_or_assign(u"", *key.defaultValue);
    for (const ScriptValue& v : key.values) child.values.insert_or_assign(v.name, v.data);
    AddKeys(key.subkeys, child);
  }
}

std::vector<ScriptKey> KeysOf(const Node& node) {
  std::vector<ScriptKey> keys;
  for (const auto& [name, child] : node.subkeys) {
    ScriptKey& key = keys.emplace_back();
    key.name = name;
    for (const auto& [valueName, data] : child.values) {
      if (valueName.empty())
        key.defaultValue = data;
      else
        key.values.push_back({valueName, data});
    }
    key.subkeys = KeysOf(child);
  }
  return keys;
}

}  // namespace

FakeRegistry::FakeRegistry(std::string_view script) {
  if (script.empty()) return;
  const ScriptParseResult parsed = ParseRegistryScriptUtf8(script, {});
  if (!parsed.ok()) throw std::invalid_argument("not a registry script: " + std::string(script));
  for (const ScriptRoot& root : parsed.script) AddKeys(root.keys, m_roots[root.root]);
}

RegistryStatus FakeRegistry::OpenRoot(RegistryRoot root, std::unique_ptr<RegistryKey>& key) {
  key = std::make_unique<FakeKey>(*this, root, std::vector<std::u16string>());
  return kRegistryOk;
}

void FakeRegistry::FailOn(Op operation, std::u16string name, RegistryStatus status) {
  m_failures.push_back({operation, std::move(name), status});
}

RegistryStatus FakeRegistry::InjectedFailure(Op operation, Name name) const {
  for (const Failure& failure : m_failures) {
    if (failure.operation == operation && EqualsIgnoreAsciiCase(failure.name, name)) {
      return failure.status;
    }
  }
  return kRegistryOk;
}

Node* FakeRegistry::Find(RegistryRoot root, const std::vector<std::u16string>& path) {
  Node* node = &m_roots[root];
  for (const std::u16string& name : path) {
    const auto found = node->subkeys.find(name);
    if (found == node->subkeys.end()) return nullptr;
    node = &found->second;
  }
  return node;
}

std::u16string FakeRegistry::Dump() const {
  RegistryScript script;
  for (const auto& [root, node] : m_roots) {
    if (!node.subkeys.empty()) script.push_back({root, KeysOf(node)});
  }
  return PrintRegistryScript(script);
}

std::u16string PrintRegistryScript(const RegistryScript& script) {
  std::u16string text;
  for (const ScriptRoot& root : script) {
    if (!text.empty()) text += u' ';
    text += Ascii(kRootNames[static_cast<int>(root.root)]) + u" {" + KeysText(root.keys) + u" }";
  }
  return text;
}

}  // namespace zx
