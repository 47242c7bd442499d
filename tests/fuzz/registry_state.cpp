#include "registry_state.h"

namespace zx {
namespace {

constexpr RegistryRoot kRoots[] = {RegistryRoot::kClassesRoot, RegistryRoot::kCurrentUser,
                                   RegistryRoot::kLocalMachine, RegistryRoot::kUsers,
                                   RegistryRoot::kCurrentConfig};

void AddKeyState(const FakeRegistry::Node& node, KeyPath& path, RegistryState& state) {
  KeyValues& values = state[path];
  for (const auto& [name, value] : node.values) values.emplace(FoldKeyName(name), value);
  for (const auto& [name, subkey] : node.subkeys) {
    path.second.push_back(FoldKeyName(name));
    AddKeyState(subkey, path, state);
    path.second.pop_back();
  }
}

}  // namespace

std::u16string FoldKeyName(std::u16string_view name) {
  std::u16string folded(name);
  for (char16_t& c : folded) {
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
  }
  return folded;
}

RegistryState TakeRegistryState(FakeRegistry& registry) {
  RegistryState state;
  for (const RegistryRoot root : kRoots) {
    KeyPath path{root, {}};
    AddKeyState(*registry.Find(root, {}), path, state);
  }
  return state;
}

}  // namespace zx
