#pragma once
// A parsed registry script: per root, the keys it names with their default
// values, named values and subkeys, each with its removal flag.
#include <optional>
#include <string>
#include <vector>

#include "registrar/registrar_registry.h"

namespace zx {

enum class KeyFlag {
  kNone,
  kNoRemove,     // kept at unregistration; its block is still processed
  kForceRemove,  // its existing tree is deleted before it is written
  kDelete,       // deleted at registration, ignored at unregistration
};

struct ScriptValue {
  std::u16string name;  // never empty: the default value has its own syntax
  RegistryValue data;
};

struct ScriptKey {
  std::u16string name;  // one path component: not empty, no '\' and no NUL
  KeyFlag flag = KeyFlag::kNone;
  std::optional<RegistryValue> defaultValue;
  std::vector<ScriptValue> values;
  std::vector<ScriptKey> subkeys;
};

struct ScriptRoot {
  RegistryRoot root = RegistryRoot::kClassesRoot;
  std::vector<ScriptKey> keys;
};

using RegistryScript = std::vector<ScriptRoot>;

}  // namespace zx
