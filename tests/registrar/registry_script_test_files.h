#pragma once
// The module's registry-script resources, read from the source tree.
#include <fstream>
#include <sstream>
#include <string>

namespace zx {

inline std::string ReadRegistryScriptFile(const char* name) {
  std::ifstream file(std::string(ZX_REGISTRY_SCRIPT_DIR) + "/" + name, std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

}  // namespace zx
