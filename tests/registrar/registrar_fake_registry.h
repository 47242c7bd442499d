#pragma once
// An in-memory registry that behaves like the real one where the registrar
// depends on it: names match in any case, a key with subkeys cannot be
// deleted on its own, handles to deleted keys fail. Any operation on a
// given name can be made to fail.
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "common/ascii_text.h"
#include "registrar/registrar_registry.h"
#include "registrar/registry_script.h"

namespace zx {

// Every name and string quoted, every '%' doubled:
// HKCR { NoRemove 'CLSID' { 'K' = s 'x' { val 'V' = d 1 'Sub' } } }
std::u16string PrintRegistryScript(const RegistryScript& script);

// kVanish: opening the key finds it deleted, as by another program after it was listed.
enum class FakeOperation { kOpen, kCreate, kSetValue, kDeleteValue, kDeleteKey, kList, kVanish };

inline constexpr RegistryStatus kFakeAccessDenied = 5;  // ERROR_ACCESS_DENIED

class FakeRegistry final : public Registry {
 public:
  struct Node {
    std::map<std::u16string, Node, IgnoreAsciiCaseLess> subkeys;
    std::map<std::u16string, RegistryValue, IgnoreAsciiCaseLess> values;  // default: ""
  };

  // Starts out holding the keys and values of `script` (UTF-8, no replacements).
  explicit FakeRegistry(std::string_view script = {});

  RegistryStatus OpenRoot(RegistryRoot root, std::unique_ptr<RegistryKey>& key) override;

  // `operation` on the key or value called `name` (any case) fails with
  // `status`; kList names the key whose subkeys are listed.
  void FailOn(FakeOperation operation, std::u16string name, RegistryStatus status);
  RegistryStatus InjectedFailure(FakeOperation operation, std::u16string_view name) const;

  // Null when a key on the path does not exist.
  Node* Find(RegistryRoot root, const std::vector<std::u16string>& path);

  std::u16string Dump() const;  // printed as PrintRegistryScript prints scripts

 private:
  struct Failure {
    FakeOperation operation;
    std::u16string name;
    RegistryStatus status;
  };

  std::map<RegistryRoot, Node> m_roots;
  std::vector<Failure> m_failures;
};

}  // namespace zx
