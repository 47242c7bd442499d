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

namespace zx {

enum class FakeOperation { kOpen, kCreate, kSetValue, kDeleteValue, kDeleteKey, kList };

inline constexpr RegistryStatus kFakeAccessDenied = 5;   // ERROR_ACCESS_DENIED
inline constexpr RegistryStatus kFakeKeyDeleted = 1018;  // ERROR_KEY_DELETED

class FakeRegistry final : public Registry {
 public:
  struct Node {
    std::map<std::u16string, Node, IgnoreAsciiCaseLess> subkeys;
    std::map<std::u16string, RegistryValue, IgnoreAsciiCaseLess> values;
  };

  RegistryStatus OpenRoot(RegistryRoot root, std::unique_ptr<RegistryKey>& key) override;

  // `operation` on the key or value called `name` (any case) fails with `status`;
  // List names the key whose subkeys are listed.
  void FailOn(FakeOperation operation, std::u16string name, RegistryStatus status);
  RegistryStatus InjectedFailure(FakeOperation operation, std::u16string_view name) const;

  // Setting up: `path` is a key path with '\' separators below `root`.
  void AddKey(RegistryRoot root, std::u16string_view path);
  void AddValue(RegistryRoot root, std::u16string_view path, std::u16string name,
                RegistryValue value);

  // Null when a key on the path does not exist.
  Node* Find(RegistryRoot root, const std::vector<std::u16string>& path);

  // One line per key and per value, sorted:  HKCR\A\B  and  HKCR\A\B [Name] = s 'text'
  // ("@" names the default value).
  std::string Dump() const;

 private:
  struct Failure {
    FakeOperation operation;
    std::u16string name;
    RegistryStatus status;
  };

  Node& AddPath(RegistryRoot root, std::u16string_view path);

  std::map<RegistryRoot, Node> m_roots;
  std::vector<Failure> m_failures;
};

}  // namespace zx
