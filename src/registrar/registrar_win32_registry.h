#pragma once
// The registrar's registry model over the real Win32 registry.
#include "registrar/registrar_registry.h"

namespace zx {

// Keys are opened for reading and writing with no WOW64 view flag, so this
// 32-bit module registers in the view 32-bit clients read. Predefined root
// handles are never closed.
class Win32Registry final : public Registry {
 public:
  RegistryStatus OpenRoot(RegistryRoot root, std::unique_ptr<RegistryKey>& key) override;
};

}  // namespace zx
