// Self-registration against the prefix's real registry: the keys it writes
// and removes, IDispatch as a script host binds to the registered objects,
// and integrity over many cycles: registering and unregistering over and
// over leaves exactly the same keys each time, replaces the ForceRemove keys
// whole, and leaves the shared keys and everything that belongs to others
// as they were.
#include <wrl/client.h>

#include <string>

#include "common/win_resources.h"
#include "harness/test_paths.h"
#include "harness/zxmlhttp_module.h"
#include "res/zxmlhttp_idl.h"
#include "support/page_test.h"
#include "support/registration_keys.h"
#include "support/registry_snapshot.h"

using Microsoft::WRL::ComPtr;
using namespace zx;
using namespace zx::test;

namespace {

constexpr wchar_t kAbsent[] = L"(absent)", kNoValue[] = L"(no value)";

// Keys of others beside the module's own below the shared roots.
const std::wstring kForeignKeys[] = {
    L"CLSID\\{0B7F4E52-9A61-4C3D-8E20-5F1A6D9C7B34}",
    L"Interface\\{0B7F4E53-9A61-4C3D-8E20-5F1A6D9C7B34}",
    L"TypeLib\\{0B7F4E54-9A61-4C3D-8E20-5F1A6D9C7B34}",
    L"Component Categories\\{0B7F4E55-9A61-4C3D-8E20-5F1A6D9C7B34}",
};
const std::wstring kForeignPreApproved =
    std::wstring(kPreApprovedKey) + L"{0b7f4e56-9a61-4c3d-8e20-5f1a6d9c7b34}";

// The key's default or named string value.
std::wstring Read(HKEY root, const std::wstring& path, const wchar_t* value = nullptr) {
  UniqueRegKey key;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, key.Put()) != ERROR_SUCCESS) return kAbsent;
  wchar_t data[1024] = {};
  DWORD size = sizeof data;
  const LONG status = RegGetValueW(key.Get(), nullptr, value, RRF_RT_REG_SZ, nullptr, data, &size);
  return status == ERROR_SUCCESS ? data : kNoValue;
}

void WriteString(HKEY root, const std::wstring& path, const wchar_t* name, const wchar_t* value) {
  ASSERT_EQ(RegSetKeyValueW(root, path.c_str(), name, REG_SZ, value,
                            static_cast<DWORD>((wcslen(value) + 1) * sizeof(wchar_t))),
            ERROR_SUCCESS);
}

std::wstring ClassKey(const ClassKeys& c) { return std::wstring(L"CLSID\\") + c.clsid; }

// The shared roots the module registers below, whole: a key written or
// removed anywhere in them shows.
std::string SharedRoots() {
  std::string text = RegistrySnapshot(HKEY_LOCAL_MACHINE, kPreApprovedKey);
  for (const wchar_t* root : {L"CLSID", L"Interface", L"TypeLib", L"Component Categories"}) {
    text += RegistrySnapshot(HKEY_CLASSES_ROOT, root);
  }
  return text;
}

// Each test starts and ends with the module registered: other tests find
// it as a page's host would.
class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CoInitialize(nullptr);
    ASSERT_NE(module.Handle(), nullptr);
    ASSERT_EQ(module.Register(), S_OK);
  }
  void TearDown() override {
    for (const std::wstring& key : kForeignKeys) RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str());
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kForeignPreApproved.c_str());
    EXPECT_EQ(module.Register(), S_OK);
    CoUninitialize();
  }

  ZxmlhttpModule module;
};
using RegistrationTest = RegistryTest;
using RegistryIntegrityTest = RegistryTest;

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

// A registration over a stale one replaces the ForceRemove keys whole. A
// second unregistration finds no type library to remove, which it reports,
// and removes nothing else.
TEST_F(RegistryIntegrityTest, EveryCycleLeavesExactlyTheSameKeysAndThoseOfOthers) {
  for (const std::wstring& key : kForeignKeys)
    WriteString(HKEY_CLASSES_ROOT, key, nullptr, L"not ours");
  WriteString(HKEY_LOCAL_MACHINE, kForeignPreApproved, nullptr, L"not ours");
  ASSERT_EQ(module.Register(), S_OK);
  const std::string registered = TouchedKeys();
  ASSERT_EQ(module.Unregister(), S_OK);
  const std::string unregistered = TouchedKeys();
  const std::string rootsBefore = SharedRoots();
  ASSERT_NE(registered, unregistered);
  // Categories and pre-approval may be shared with other modules: they stay.
  for (const wchar_t* category : kSafetyCategories) {
    EXPECT_NE(Read(HKEY_CLASSES_ROOT, std::wstring(L"Component Categories\\") + category), kAbsent);
  }
  for (const ClassKeys& c : kRegisteredClasses) {
    EXPECT_NE(Read(HKEY_LOCAL_MACHINE, std::wstring(kPreApprovedKey) + c.preApproved), kAbsent);
    for (const std::wstring& key :
         {std::wstring(c.progId), c.progId + std::wstring(L".1"), ClassKey(c)})
      EXPECT_EQ(Read(HKEY_CLASSES_ROOT, key), kAbsent) << key;
  }
  EXPECT_EQ(Read(HKEY_CLASSES_ROOT, std::wstring(L"TypeLib\\") + kTypeLibId), kAbsent);
  const int cycles = Scaled(25);
  for (int cycle = 0; cycle < cycles && !HasFailure(); ++cycle) {
    SCOPED_TRACE("cycle " + std::to_string(cycle));
    ASSERT_EQ(module.Register(), S_OK);
    EXPECT_EQ(TouchedKeys(), registered);
    for (const ClassKeys& c : kRegisteredClasses) {
      WriteString(HKEY_CLASSES_ROOT, ClassKey(c) + L"\\Stale", nullptr, L"left by an old version");
      WriteString(HKEY_CLASSES_ROOT, ClassKey(c) + L"\\Programmable\\Stale", L"v", L"old");
      WriteString(HKEY_CLASSES_ROOT, ClassKey(c), L"StaleValue", L"old");
    }
    ASSERT_EQ(module.Register(), S_OK);
    EXPECT_EQ(TouchedKeys(), registered);
    ASSERT_EQ(module.Unregister(), S_OK);
    EXPECT_EQ(TouchedKeys(), unregistered);
    EXPECT_EQ(module.Unregister(), E_INVALIDARG);
    EXPECT_EQ(TouchedKeys(), unregistered);
  }
  EXPECT_EQ(SharedRoots(), rootsBefore);
  ReportFigure("registry: " + std::to_string(cycles) +
               " cycles of register twice, unregister twice, each compared key by key");
}

}  // namespace
