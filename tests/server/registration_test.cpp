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
using namespace zx;
using namespace zx::test;

namespace {

std::wstring ReadString(HKEY root, const std::wstring& path, const wchar_t* value) {
  wchar_t data[1024] = {};
  DWORD size = sizeof(data);
  if (RegGetValueW(root, path.c_str(), value, RRF_RT_REG_SZ, nullptr, data, &size) != ERROR_SUCCESS) {
    return L"(absent)";
  }
  return data;
}

bool KeyExists(HKEY root, const std::wstring& path) {
  UniqueRegKey key;
  return RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, key.Put()) == ERROR_SUCCESS;
}

class RegistrationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CoInitialize(nullptr);
    ASSERT_NE(module.Handle(), nullptr);
  }
  void TearDown() override { CoUninitialize(); }

  ZxmlhttpModule module;
};

TEST_F(RegistrationTest, RegisterWritesProgIdsClassKeysCategoriesAndPreApproval) {
  ASSERT_EQ(module.Register(), S_OK);
  for (const ClassKeys& c : kRegisteredClasses) {
    SCOPED_TRACE(c.progId);
    std::wstring progId = c.progId, versioned = progId + L".1";
    std::wstring classKey = std::wstring(L"CLSID\\") + c.clsid;
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, progId, nullptr), c.name);
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, progId + L"\\CLSID", nullptr), c.clsid);
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, progId + L"\\CurVer", nullptr), versioned);
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, versioned, nullptr), c.name);
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, versioned + L"\\CLSID", nullptr), c.clsid);
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, classKey, nullptr), c.name);
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, classKey + L"\\ProgID", nullptr), versioned);
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, classKey + L"\\VersionIndependentProgID", nullptr), progId);
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, classKey + L"\\Programmable"));
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, classKey + L"\\InprocServer32", nullptr),
              BesideProgram(L"zxmlhttp.dll"));
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, classKey + L"\\InprocServer32", L"ThreadingModel"),
              L"Apartment");
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, classKey + L"\\TypeLib", nullptr), kTypeLibId);
    for (const wchar_t* category : kSafetyCategories) {
      EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, classKey + L"\\Implemented Categories\\" + category));
    }
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, std::wstring(kPreApprovedKey) + c.preApproved));
  }
  // The type library (its locale 0x409) under the platform of this build.
  const wchar_t* platform = sizeof(void*) == 8 ? L"\\win64" : L"\\win32";
  EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT,
                       std::wstring(L"TypeLib\\") + kTypeLibId + L"\\1.0\\409" + platform, nullptr),
            BesideProgram(L"zxmlhttp.dll"));
}

TEST_F(RegistrationTest, UnregisterRemovesTheClassesAndKeepsCategoriesAndPreApproval) {
  ASSERT_EQ(module.Register(), S_OK);
  ASSERT_EQ(module.Unregister(), S_OK);
  const std::string afterFirstCycle = TouchedKeys();
  for (const ClassKeys& c : kRegisteredClasses) {
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, c.progId));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, std::wstring(L"CLSID\\") + c.clsid));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, std::wstring(kPreApprovedKey) + c.preApproved));
  }
  EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, L"CLSID"));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, std::wstring(L"TypeLib\\") + kTypeLibId));
  for (int cycle = 0; cycle < 5; ++cycle) {
    ASSERT_EQ(module.Register(), S_OK);
    ASSERT_EQ(module.Unregister(), S_OK);
    EXPECT_EQ(TouchedKeys(), afterFirstCycle) << "cycle " << cycle;
  }
}

TEST_F(RegistrationTest, DispatchFindsNamesInAnyCaseAndInTheHostsLocale) {
  ASSERT_EQ(module.Register(), S_OK);
  ComPtr<IDispatch> dispatch;
  ASSERT_EQ(module.Create(CLSID_ZevXMLHttpRequest, IID_IDispatch, &dispatch), S_OK);
  UINT count = 0;
  EXPECT_EQ(dispatch->GetTypeInfoCount(&count), S_OK);
  EXPECT_EQ(count, 1u);
  EXPECT_EQ(dispatch->GetTypeInfoCount(nullptr), E_POINTER);
  ComPtr<ITypeInfo> first, fifth;
  ASSERT_EQ(dispatch->GetTypeInfo(0, 0, &first), S_OK);
  ASSERT_EQ(dispatch->GetTypeInfo(5, 0, &fifth), S_OK);
  EXPECT_EQ(first.Get(), fifth.Get());
  EXPECT_EQ(dispatch->GetTypeInfo(0, 0, nullptr), E_POINTER);

  struct Lookup {
    const wchar_t* name;
    LCID lcid;
    DISPID dispid;
  } lookups[] = {{L"open", 0x409, 1},        {L"OPEN", 0x409, 1},     {L"responseText", 0, 10},
                 {L"RESPONSETEXT", 0x804, 10}, {L"fixConnection", 0x804, 19}};
  for (const Lookup& lookup : lookups) {
    SCOPED_TRACE(lookup.name);
    LPOLESTR name = const_cast<LPOLESTR>(lookup.name);
    DISPID dispid = 0;
    EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, &name, 1, lookup.lcid, &dispid), S_OK);
    EXPECT_EQ(dispid, lookup.dispid);
  }
  LPOLESTR unknown = const_cast<LPOLESTR>(L"nonesuch");
  DISPID dispid = 0;
  EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, &unknown, 1, 0x409, &dispid), DISP_E_UNKNOWNNAME);
}

TEST_F(RegistrationTest, InvokeConvertsArgumentsAndPassesTheMethodsResultThrough) {
  ASSERT_EQ(module.Register(), S_OK);
  ComPtr<IDispatch> dispatch;
  ASSERT_EQ(module.Create(CLSID_ZevXMLHttpRequest, IID_IDispatch, &dispatch), S_OK);
  DISPPARAMS none = {nullptr, nullptr, 0, 0};
  UniqueVariant result;
  ASSERT_EQ(dispatch->Invoke(13, IID_NULL, 0x804, DISPATCH_PROPERTYGET, &none, result.Put(), nullptr,
                             nullptr),
            S_OK);
  EXPECT_EQ(V_VT(&result.Get()), VT_I4);
  EXPECT_EQ(V_I4(&result.Get()), 0);

  // send() before open(): the method's own code reaches the script host
  // as the exception's code, which scripts see as the error's number.
  EXCEPINFO exception = {};
  EXPECT_EQ(dispatch->Invoke(5, IID_NULL, 0x409, DISPATCH_METHOD, &none, result.Put(), &exception,
                             nullptr),
            DISP_E_EXCEPTION);
  EXPECT_EQ(exception.scode, static_cast<HRESULT>(0xE00D0001));
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
}

TEST_F(RegistrationTest, DispatchFailsWhileTheLibraryIsUnregisteredAndRecoversAfter) {
  ASSERT_EQ(module.Register(), S_OK);
  ASSERT_EQ(module.Unregister(), S_OK);
  ComPtr<IDispatch> dispatch;
  ASSERT_EQ(module.Create(CLSID_ZevMultiFileDialog, IID_IDispatch, &dispatch), S_OK);
  UINT count = 0;
  EXPECT_EQ(dispatch->GetTypeInfoCount(&count), S_OK);
  LPOLESTR name = const_cast<LPOLESTR>(L"GetOpenFileNameEx");
  DISPID dispid = 0;
  EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, &name, 1, 0x409, &dispid), TYPE_E_LIBNOTREGISTERED);
  ASSERT_EQ(module.Register(), S_OK);
  EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, &name, 1, 0x409, &dispid), S_OK);
  EXPECT_EQ(dispid, 1);
}

}  // namespace
