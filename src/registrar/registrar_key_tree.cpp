#include "registrar/registrar_key_tree.h"

namespace zx {
namespace {

RegistryStatus DeleteSubkeys(RegistryKey& key) {
  std::vector<std::u16string> names;
  if (const RegistryStatus status = key.ListSubkeys(names)) return status;
  for (const std::u16string& name : names) {
    const RegistryStatus status = DeleteKeyTree(key, name);
    // Gone meanwhile is as good as deleted.
    if (status != kRegistryOk && status != kRegistryNotFound) return status;
  }
  return kRegistryOk;
}

}  // namespace

RegistryStatus DeleteKeyTree(RegistryKey& parent, std::u16string_view name) {
  std::unique_ptr<RegistryKey> key;
  if (const RegistryStatus status = parent.OpenSubkey(name, key)) return status;
  if (const RegistryStatus status = DeleteSubkeys(*key)) return status;
  key.reset();
  return parent.DeleteEmptySubkey(name);
}

}  // namespace zx
