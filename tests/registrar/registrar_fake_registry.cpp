#include "registrar_fake_registry.h"

#include "registry_script_describe.h"

namespace zx {
namespace {

class FakeKey final : public RegistryKey {
 public:
  FakeKey(FakeRegistry& registry, RegistryRoot root, std::vector<std::u16string> path)
      : m_registry(registry), m_root(root), m_path(std::move(path)) {}

  RegistryStatus OpenSubkey(std::u16string_view name,
                            std::unique_ptr<RegistryKey>& subkey) override {
    FakeRegistry::Node* node = nullptr;
    if (const RegistryStatus status = Resolve(FakeOperation::kOpen, name, node)) return status;
    if (node->subkeys.find(name) == node->subkeys.end()) return kRegistryNotFound;
    subkey = Child(name);
    return kRegistryOk;
  }

  RegistryStatus CreateSubkey(std::u16string_view name,
                              std::unique_ptr<RegistryKey>& subkey) override {
    FakeRegistry::Node* node = nullptr;
    if (const RegistryStatus status = Resolve(FakeOperation::kCreate, name, node)) return status;
    node->subkeys.try_emplace(std::u16string(name));
    subkey = Child(name);
    return kRegistryOk;
  }

  RegistryStatus SetValue(std::u16string_view name, const RegistryValue& value) override {
    FakeRegistry::Node* node = nullptr;
    if (const RegistryStatus status = Resolve(FakeOperation::kSetValue, name, node)) return status;
    node->values.insert_or_assign(std::u16string(name), value);
    return kRegistryOk;
  }

  RegistryStatus DeleteValue(std::u16string_view name) override {
    FakeRegistry::Node* node = nullptr;
    if (const RegistryStatus status = Resolve(FakeOperation::kDeleteValue, name, node))
      return status;
    const auto found = node->values.find(name);
    if (found == node->values.end()) return kRegistryNotFound;
    node->values.erase(found);
    return kRegistryOk;
  }

  RegistryStatus DeleteEmptySubkey(std::u16string_view name) override {
    FakeRegistry::Node* node = nullptr;
    if (const RegistryStatus status = Resolve(FakeOperation::kDeleteKey, name, node)) return status;
    const auto found = node->subkeys.find(name);
    if (found == node->subkeys.end()) return kRegistryNotFound;
    if (!found->second.subkeys.empty()) return kFakeAccessDenied;
    node->subkeys.erase(found);
    return kRegistryOk;
  }

  RegistryStatus ListSubkeys(std::vector<std::u16string>& names) override {
    const std::u16string_view self = m_path.empty() ? std::u16string_view() : m_path.back();
    FakeRegistry::Node* node = nullptr;
    if (const RegistryStatus status = Resolve(FakeOperation::kList, self, node)) return status;
    names.clear();
    for (const auto& subkey : node->subkeys) names.push_back(subkey.first);
    return kRegistryOk;
  }

 private:
  RegistryStatus Resolve(FakeOperation operation, std::u16string_view name,
                         FakeRegistry::Node*& node) {
    if (const RegistryStatus status = m_registry.InjectedFailure(operation, name)) return status;
    node = m_registry.Find(m_root, m_path);
    return node ? kRegistryOk : kFakeKeyDeleted;
  }

  std::unique_ptr<RegistryKey> Child(std::u16string_view name) const {
    std::vector<std::u16string> path = m_path;
    path.emplace_back(name);
    return std::make_unique<FakeKey>(m_registry, m_root, std::move(path));
  }

  FakeRegistry& m_registry;
  RegistryRoot m_root;
  std::vector<std::u16string> m_path;
};

void DumpNode(const FakeRegistry::Node& node, const std::string& path, std::string& text) {
  for (const auto& [name, value] : node.values) {
    text += path + " [" + (name.empty() ? std::string("@") : Narrow(name)) +
            "] = " + DescribeValue(value) + "\n";
  }
  for (const auto& [name, subkey] : node.subkeys) {
    const std::string subpath = path + "\\" + Narrow(name);
    text += subpath + "\n";
    DumpNode(subkey, subpath, text);
  }
}

}  // namespace

RegistryStatus FakeRegistry::OpenRoot(RegistryRoot root, std::unique_ptr<RegistryKey>& key) {
  key = std::make_unique<FakeKey>(*this, root, std::vector<std::u16string>());
  return kRegistryOk;
}

void FakeRegistry::FailOn(FakeOperation operation, std::u16string name, RegistryStatus status) {
  m_failures.push_back({operation, std::move(name), status});
}

RegistryStatus FakeRegistry::InjectedFailure(FakeOperation operation,
                                             std::u16string_view name) const {
  for (const Failure& failure : m_failures) {
    if (failure.operation == operation && EqualsIgnoreAsciiCase(failure.name, name)) {
      return failure.status;
    }
  }
  return kRegistryOk;
}

FakeRegistry::Node& FakeRegistry::AddPath(RegistryRoot root, std::u16string_view path) {
  Node* node = &m_roots[root];
  while (!path.empty()) {
    const std::size_t end = path.find(u'\\');
    node = &node->subkeys[std::u16string(path.substr(0, end))];
    path.remove_prefix(end == std::u16string_view::npos ? path.size() : end + 1);
  }
  return *node;
}

void FakeRegistry::AddKey(RegistryRoot root, std::u16string_view path) { AddPath(root, path); }

void FakeRegistry::AddValue(RegistryRoot root, std::u16string_view path, std::u16string name,
                            RegistryValue value) {
  AddPath(root, path).values.insert_or_assign(std::move(name), std::move(value));
}

FakeRegistry::Node* FakeRegistry::Find(RegistryRoot root, const std::vector<std::u16string>& path) {
  Node* node = &m_roots[root];
  for (const std::u16string& name : path) {
    const auto found = node->subkeys.find(name);
    if (found == node->subkeys.end()) return nullptr;
    node = &found->second;
  }
  return node;
}

std::string FakeRegistry::Dump() const {
  std::string text;
  for (const auto& [root, node] : m_roots) DumpNode(node, DescribeRoot(root), text);
  return text;
}

}  // namespace zx
