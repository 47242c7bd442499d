// Self-registration against the prefix's real registry, and IDispatch as a
// script host binds to the registered objects.
#include <windows.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include <string>

#include "common/win_resources.h"
#include "harness/test_paths.h"
#include "harness/zxmlhttp_module.h"
#include "res/zxmlhttp_idl.h"
#include "support/registration_keys.h"

using Microsoft::WRL::ComPtr;

namespace zx::test {
namespace {

constexpr wchar_t kAbsent[] = L"(absent)", kNoValue[] = L"(no value)";

// The key's default or named string value.
std::wstring Read(HKEY root, const std::wstring& path, const wchar_t* value = nullptr) {
  UniqueRegKey key;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, key.Put()) != ERROR_SUCCESS) return kAbsent;
  wchar_t data[1024] = {};
  DWORD size = sizeof data;
  const LONG status = RegGetValueW(key.Get(), nullptr, value, RRF_RT_REG_SZ, nullptr, data, &size);
  return status == ERROR_SUCCESS ? data : kNoValue;
}

class RegistrationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CoInitialize(nullptr);
    ASSERT_NE(module.Handle(), nullptr);
    ASSERT_EQ(module.Register(), S_OK);
  }
  void TearDown() override { CoUninitialize(); }

  ZxmlhttpModule module;
};

TEST_F(RegistrationTest, RegisterWritesProgIdsClassKeysCategoriesAndPreApproval) {
  const std::wstring dll = BesideProgram(L"zxmlhttp.dll");
  for (const ClassKeys& c : kRegisteredClasses) {
    const std::wstring progId = c.progId, versioned = progId + L".1";
    const std::wstring key = std::wstring(L"CLSID\\") + c.clsid;
    const std::wstring categories = key + L"\\Implemented Categories\\";
    const std::pair<std::wstring, std::wstring> values[] = {
        {progId, c.name}, {progId + L"\\CLSID", c.clsid}, {progId + L"\\CurVer", versioned},
        {versioned, c.name}, {versioned + L"\\CLSID", c.clsid}, {key, c.name},
        {key + L"\\ProgID", versioned}, {key + L"\\VersionIndependentProgID", progId},
        {key + L"\\Programmable", kNoValue}, {key + L"\\InprocServer32", dll},
        {key + L"\\TypeLib", kTypeLibId}, {categories + kSafetyCategories[0], kNoValue},
        {categories + kSafetyCategories[1], kNoValue},
    };
    for (const auto& [path, value] : values) {
      EXPECT_EQ(Read(HKEY_CLASSES_ROOT, path), value) << path;
    }
    EXPECT_EQ(Read(HKEY_CLASSES_ROOT, key + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
    EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, kPreApprovedKey + std::wstring(c.preApproved)), kNoValue);
  }
  // The type library (its locale 0x409) under the platform of this build.
  const std::wstring library = std::wstring(L"TypeLib\\") + kTypeLibId + L"\\1.0\\409";
  EXPECT_EQ(Read(HKEY_CLASSES_ROOT, library + (sizeof(void*) == 8 ? L"\\win64" : L"\\win32")), dll);
}

TEST_F(RegistrationTest, UnregisterRemovesTheClassesAndTheTypeLibrary) {
  ASSERT_EQ(module.Unregister(), S_OK);
  for (const ClassKeys& c : kRegisteredClasses) {
    const std::wstring progId = c.progId;
    for (const std::wstring& key : {progId, progId + L".1", L"CLSID\\" + std::wstring(c.clsid)}) {
      EXPECT_EQ(Read(HKEY_CLASSES_ROOT, key), kAbsent) << key;
    }
  }
  EXPECT_EQ(Read(HKEY_CLASSES_ROOT, std::wstring(L"TypeLib\\") + kTypeLibId), kAbsent);
  ASSERT_EQ(module.Register(), S_OK);  // other tests find the module as a page's host would
}

DISPID IdOf(IDispatch* dispatch, const wchar_t* name, LCID locale, HRESULT expected = S_OK) {
  DISPID dispid = 0;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, names, 1, locale, &dispid), expected) << name;
  return dispid;
}

// Names in any case and in the host's locale.
TEST_F(RegistrationTest, DispatchBindsNamesInAnyCaseAndLocale) {
  ComPtr<IDispatch> dispatch;
  ASSERT_EQ(module.Create(CLSID_ZevXMLHttpRequest, IID_PPV_ARGS(&dispatch)), S_OK);
  EXPECT_EQ(IdOf(dispatch.Get(), L"OPEN", 0x409), 1);
  EXPECT_EQ(IdOf(dispatch.Get(), L"RESPONSETEXT", 0x804), 10);
  EXPECT_EQ(IdOf(dispatch.Get(), L"fixConnection", 0), 19);
  IdOf(dispatch.Get(), L"nonesuch", 0x409, DISP_E_UNKNOWNNAME);
}

// An object made while the library is not registered binds once it is.
TEST_F(RegistrationTest, DispatchFailsWhileTheLibraryIsUnregisteredAndRecoversAfter) {
  ASSERT_EQ(module.Unregister(), S_OK);
  ComPtr<IDispatch> dispatch;
  ASSERT_EQ(module.Create(CLSID_ZevMultiFileDialog, IID_PPV_ARGS(&dispatch)), S_OK);
  IdOf(dispatch.Get(), L"GetOpenFileNameEx", 0x409, TYPE_E_LIBNOTREGISTERED);
  ASSERT_EQ(module.Register(), S_OK);
  EXPECT_EQ(IdOf(dispatch.Get(), L"GetOpenFileNameEx", 0x409), 1);
}

}  // namespace
}  // namespace zx::test
