#include "registrar/registrar.h"

#include <algorithm>

#include "common/ascii_text.h"
#include "registrar/registrar_key_tree.h"

namespace zx {
namespace {

constexpr std::u16string_view kNeverDeletedKeys[] = {
    u"AppID",    u"CLSID",     u"Component Categories",
    u"FileType", u"Interface", u"Hardware",
    u"Mime",     u"SAM",       u"SECURITY",
    u"SYSTEM",   u"Software",  u"TypeLib",
};

bool IsNeverDeleted(std::u16string_view name) {
  return std::any_of(
      std::begin(kNeverDeletedKeys), std::end(kNeverDeletedKeys),
      [name](std::u16string_view kept) { return EqualsIgnoreAsciiCase(name, kept); });
}

// A key that is not there needs no deleting.
RegistryStatus RemoveKeyTree(RegistryKey& parent, std::u16string_view name) {
  const RegistryStatus status = DeleteKeyTree(parent, name);
  return status == kRegistryNotFound ? kRegistryOk : status;
}

void KeepFirstFailure(RegistryStatus& first, RegistryStatus status) {
  if (first == kRegistryOk) first = status;
}

RegistryStatus RegisterKeys(RegistryKey& parent, const std::vector<ScriptKey>& keys);

RegistryStatus WriteValues(RegistryKey& key, const ScriptKey& entry) {
  if (entry.defaultValue) {
    if (const RegistryStatus status = key.SetValue(u"", *entry.defaultValue)) return status;
  }
  for (const ScriptValue& value : entry.values) {
    if (const RegistryStatus status = key.SetValue(value.name, value.data)) return status;
  }
  return kRegistryOk;
}

RegistryStatus RegisterKey(RegistryKey& parent, const ScriptKey& entry) {
  const bool removeFirst = entry.flag == KeyFlag::kForceRemove || entry.flag == KeyFlag::kDelete;
  if (removeFirst && !IsNeverDeleted(entry.name)) {
    if (const RegistryStatus status = RemoveKeyTree(parent, entry.name)) return status;
  }
  if (entry.flag == KeyFlag::kDelete) return kRegistryOk;
  std::unique_ptr<RegistryKey> key;
  if (const RegistryStatus status = parent.CreateSubkey(entry.name, key)) return status;
  if (const RegistryStatus status = WriteValues(*key, entry)) return status;
  return RegisterKeys(*key, entry.subkeys);
}

RegistryStatus RegisterKeys(RegistryKey& parent, const std::vector<ScriptKey>& keys) {
  for (const ScriptKey& entry : keys) {
    if (const RegistryStatus status = RegisterKey(parent, entry)) return status;
  }
  return kRegistryOk;
}

RegistryStatus UnregisterKeys(RegistryKey& parent, const std::vector<ScriptKey>& keys);

// A kept key still loses what the script put into it.
RegistryStatus UnregisterKeptKey(RegistryKey& parent, const ScriptKey& entry) {
  std::unique_ptr<RegistryKey> key;
  if (const RegistryStatus status = parent.OpenSubkey(entry.name, key)) {
    return status == kRegistryNotFound ? kRegistryOk : status;
  }
  RegistryStatus first = kRegistryOk;
  for (const ScriptValue& value : entry.values) {
    const RegistryStatus status = key->DeleteValue(value.name);
    if (status != kRegistryNotFound) KeepFirstFailure(first, status);
  }
  KeepFirstFailure(first, UnregisterKeys(*key, entry.subkeys));
  return first;
}

RegistryStatus UnregisterKey(RegistryKey& parent, const ScriptKey& entry) {
  if (entry.flag == KeyFlag::kDelete) return kRegistryOk;
  if (entry.flag == KeyFlag::kNoRemove || IsNeverDeleted(entry.name)) {
    return UnregisterKeptKey(parent, entry);
  }
  return RemoveKeyTree(parent, entry.name);
}

RegistryStatus UnregisterKeys(RegistryKey& parent, const std::vector<ScriptKey>& keys) {
  RegistryStatus first = kRegistryOk;
  for (const ScriptKey& entry : keys) KeepFirstFailure(first, UnregisterKey(parent, entry));
  return first;
}

RegistryStatus RegisterScript(const RegistryScript& script, Registry& registry) {
  for (const ScriptRoot& root : script) {
    std::unique_ptr<RegistryKey> key;
    if (const RegistryStatus status = registry.OpenRoot(root.root, key)) return status;
    if (const RegistryStatus status = RegisterKeys(*key, root.keys)) return status;
  }
  return kRegistryOk;
}

// 64-bit Windows keeps these two apart for 32-bit and 64-bit programs and
// shares the rest of the classes root between them.
bool IsSharedBetweenViews(RegistryRoot root, std::u16string_view name) {
  return root == RegistryRoot::kClassesRoot && !EqualsIgnoreAsciiCase(name, u"CLSID") &&
         !EqualsIgnoreAsciiCase(name, u"Interface");
}

RegistryStatus UnregisterScript(const RegistryScript& script, Registry& registry,
                                OtherView otherView) {
  RegistryStatus first = kRegistryOk;
  for (const ScriptRoot& root : script) {
    std::unique_ptr<RegistryKey> key;
    if (const RegistryStatus status = registry.OpenRoot(root.root, key)) {
      KeepFirstFailure(first, status);
      continue;
    }
    for (const ScriptKey& entry : root.keys) {
      if (otherView == OtherView::kRegistered && IsSharedBetweenViews(root.root, entry.name)) {
        continue;
      }
      KeepFirstFailure(first, UnregisterKey(*key, entry));
    }
  }
  return first;
}

}  // namespace

RegistryStatus ApplyRegistryScript(const RegistryScript& script, Registry& registry,
                                   RegistrationMode mode, OtherView otherView) {
  if (mode == RegistrationMode::kUnregister) return UnregisterScript(script, registry, otherView);
  const RegistryStatus status = RegisterScript(script, registry);
  if (status != kRegistryOk) UnregisterScript(script, registry, otherView);
  return status;
}

}  // namespace zx
