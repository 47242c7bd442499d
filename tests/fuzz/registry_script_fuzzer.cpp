// libFuzzer target: any bytes as a registry-script resource. Parsing must
// fail cleanly or give a tree that registers and unregisters without fault.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "com/registrar.h"
#include "com/registry_script_parser.h"
#include "registrar_fake_registry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const zx::ScriptVariables variables = {
      {u"OBJECT_NAME", u"Name_0"}, {u"MODULE", u"C:\\a''b.dll"}, {u"EMPTY", u""}};
  const zx::ScriptParseResult result = zx::ParseRegistryScriptUtf8(
      std::string_view(reinterpret_cast<const char*>(data), size), variables);
  if (!result.ok()) {
    if (!result.script.empty()) std::abort();
    return 0;
  }
  zx::FakeRegistry registry;
  zx::ApplyRegistryScript(result.script, registry, zx::RegistrationMode::Register);
  zx::ApplyRegistryScript(result.script, registry, zx::RegistrationMode::Unregister);
  return 0;
}
