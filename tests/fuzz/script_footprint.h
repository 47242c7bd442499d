#pragma once
// Where a registry script reaches, by the registrar's stated rules: the key
// paths it names, and whether every entry naming a path keeps that key at
// unregistration (NoRemove, or one of the names that are never deleted).
#include <map>

#include "registrar/registry_script.h"
#include "registry_state.h"

namespace zx {

class ScriptFootprint {
 public:
  explicit ScriptFootprint(const RegistryScript& script);

  // The script names `path`, and every entry naming it or an ancestor keeps
  // its key: only there may a key or a default value the script wrote stay
  // behind after unregistration.
  bool IsKept(const KeyPath& path) const;

  // The script names neither `path` nor an ancestor it may delete, so
  // registering and unregistering leave the key and its values alone.
  bool LeavesAlone(const KeyPath& path) const;

 private:
  void AddKeys(const std::vector<ScriptKey>& keys, KeyPath& path);

  std::map<KeyPath, bool> m_keptPaths;  // every named path: kept by all its entries?
};

}  // namespace zx
