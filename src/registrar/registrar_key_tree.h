#pragma once
// Deletion of a key with everything below it, built from leaf deletions so
// it needs nothing newer than the oldest registry functions.
#include <string_view>

#include "registrar/registrar_registry.h"

namespace zx {

// Deletes `name` below `parent` with all its subkeys and values. Returns
// kRegistryNotFound when the key does not exist, else the first failure.
RegistryStatus DeleteKeyTree(RegistryKey& parent, std::u16string_view name);

}  // namespace zx
