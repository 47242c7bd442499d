#include "script_footprint.h"

#include <algorithm>
#include <iterator>
#include <string_view>

#include "common/ascii_text.h"

namespace zx {
namespace {

// The names the registrar promises never to delete.
constexpr std::u16string_view kNeverDeleted[] = {
    u"AppID", u"CLSID", u"Component Categories", u"FileType", u"Interface", u"Hardware",
    u"Mime",  u"SAM",   u"SECURITY",             u"SYSTEM",   u"Software",  u"TypeLib",
};

bool KeepsItsKey(const ScriptKey& key) {
  return key.flag == KeyFlag::kNoRemove ||
         std::any_of(std::begin(kNeverDeleted), std::end(kNeverDeleted),
                     [&key](std::u16string_view kept) { return EqualsIgnoreAsciiCase(key.name, kept); });
}

}  // namespace

ScriptFootprint::ScriptFootprint(const RegistryScript& script) {
  for (const ScriptRoot& root : script) {
    KeyPath path{root.root, {}};
    AddKeys(root.keys, path);
  }
}

void ScriptFootprint::AddKeys(const std::vector<ScriptKey>& keys, KeyPath& path) {
  for (const ScriptKey& key : keys) {
    path.second.push_back(FoldKeyName(key.name));
    const bool kept = KeepsItsKey(key);
    const auto [entry, added] = m_keptPaths.emplace(path, kept);
    if (!added) entry->second = entry->second && kept;
    AddKeys(key.subkeys, path);
    path.second.pop_back();
  }
}

bool ScriptFootprint::IsKept(const KeyPath& path) const {
  if (path.second.empty()) return false;
  KeyPath prefix{path.first, {}};
  for (const std::u16string& name : path.second) {
    prefix.second.push_back(name);
    const auto found = m_keptPaths.find(prefix);
    if (found == m_keptPaths.end() || !found->second) return false;
  }
  return true;
}

bool ScriptFootprint::LeavesAlone(const KeyPath& path) const {
  if (m_keptPaths.count(path)) return false;
  KeyPath prefix{path.first, {}};
  for (const std::u16string& name : path.second) {
    prefix.second.push_back(name);
    const auto found = m_keptPaths.find(prefix);
    if (found != m_keptPaths.end() && !found->second) return false;
  }
  return true;
}

}  // namespace zx
