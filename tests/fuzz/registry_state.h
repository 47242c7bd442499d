#pragma once
// What an in-memory registry holds, keyed so that states can be compared:
// every key by its path and every value by its name, both with ASCII case
// folded the way the registry matches them.
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "registrar/registrar_registry.h"
#include "registrar_fake_registry.h"

namespace zx {

using KeyPath = std::pair<RegistryRoot, std::vector<std::u16string>>;

// Values by folded name; the default value under the empty name.
using KeyValues = std::map<std::u16string, RegistryValue>;

using RegistryState = std::map<KeyPath, KeyValues>;

std::u16string FoldKeyName(std::u16string_view name);

// Every key below every root, the roots included.
RegistryState TakeRegistryState(FakeRegistry& registry);

}  // namespace zx
