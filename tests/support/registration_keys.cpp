#include "support/registration_keys.h"

#include "support/registry_snapshot.h"

namespace zx::test {

std::string TouchedKeys() {
  std::string text;
  for (const ClassKeys& c : kRegisteredClasses) {
    text += RegistrySnapshot(HKEY_CLASSES_ROOT, c.progId);
    text += RegistrySnapshot(HKEY_CLASSES_ROOT, std::wstring(c.progId) + L".1");
    text += RegistrySnapshot(HKEY_CLASSES_ROOT, std::wstring(L"CLSID\\") + c.clsid);
    text += RegistrySnapshot(HKEY_LOCAL_MACHINE, std::wstring(kPreApprovedKey) + c.preApproved);
  }
  for (const wchar_t* iid : kRegisteredInterfaces) {
    text += RegistrySnapshot(HKEY_CLASSES_ROOT, std::wstring(L"Interface\\") + iid);
  }
  for (const wchar_t* category : kSafetyCategories) {
    text += RegistrySnapshot(HKEY_CLASSES_ROOT, std::wstring(L"Component Categories\\") + category);
  }
  return text + RegistrySnapshot(HKEY_CLASSES_ROOT, std::wstring(L"TypeLib\\") + kTypeLibId);
}

}  // namespace zx::test
