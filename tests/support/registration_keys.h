#pragma once
// The registry keys the module's self-registration writes or removes, and
// their text export, to compare the registry before and after.
#include <windows.h>

#include <string>

#include "support/registry_snapshot.h"

namespace zx::test {

struct ClassKeys {
  const wchar_t* progId;
  const wchar_t* clsid;
  const wchar_t* preApproved;  // the CLSID as the pre-approved list spells it
  const wchar_t* name;
};

inline constexpr ClassKeys kRegisteredClasses[] = {
    {L"Zxmlhttp.ZevXMLHttpRequest_0", L"{52E9A0B4-C7D1-4A3E-95F8-2B6C8D17E045}",
     L"{52e9a0b4-c7d1-4a3e-95f8-2b6c8d17e045}", L"ZevXMLHttpRequest_0 Class"},
    {L"Zxmlhttp.ZevFileDialog_0", L"{3E8A7C51-9D2B-4F06-B4C3-71A5E0D96B28}",
     L"{3e8a7c51-9d2b-4f06-b4c3-71a5e0d96b28}", L"ZevFileDialog_0 Class"},
    {L"Zxmlhttp.ZevMultiFileDialog_0", L"{9C4D2E17-6A3F-4B81-8E20-D5F7B1C40A93}",
     L"{9c4d2e17-6a3f-4b81-8e20-d5f7b1c40a93}", L"ZevMultiFileDialog_0 Class"},
};

inline constexpr wchar_t kTypeLibId[] = L"{6B1F3D2A-41C7-4E8B-9A55-0C2D7E93F1A4}";
inline constexpr wchar_t kPreApprovedKey[] =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Ext\\PreApproved\\";
// Safe for scripting, safe for initialisation.
inline const wchar_t* const kSafetyCategories[] = {L"{7DD95801-9882-11CF-9FA9-00AA006C42C4}",
                                                   L"{7DD95802-9882-11CF-9FA9-00AA006C42C4}"};

// Every key self-registration writes or removes, exported as text.
inline std::string TouchedKeys() {
  std::string text = RegistrySnapshot(HKEY_CLASSES_ROOT, std::wstring(L"TypeLib\\") + kTypeLibId);
  for (const ClassKeys& c : kRegisteredClasses) {
    for (const std::wstring& key : {std::wstring(c.progId), c.progId + std::wstring(L".1"),
                                    L"CLSID\\" + std::wstring(c.clsid)}) {
      text += RegistrySnapshot(HKEY_CLASSES_ROOT, key);
    }
    text += RegistrySnapshot(HKEY_LOCAL_MACHINE, kPreApprovedKey + std::wstring(c.preApproved));
  }
  for (const wchar_t* iid : {L"{8D2C61F0-3B7E-4A95-B1D4-6E0F92A7C385}",
                             L"{E47A0B93-5C2D-4F18-A6E9-13B8D0F5C27E}",
                             L"{1F9B3E6C-82A4-4D07-BC51-A07E4D29F836}"}) {
    text += RegistrySnapshot(HKEY_CLASSES_ROOT, std::wstring(L"Interface\\") + iid);
  }
  for (const wchar_t* category : kSafetyCategories) {
    text += RegistrySnapshot(HKEY_CLASSES_ROOT, std::wstring(L"Component Categories\\") + category);
  }
  return text;
}

}  // namespace zx::test
