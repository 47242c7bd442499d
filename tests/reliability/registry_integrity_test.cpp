// Self-registration against the prefix's real registry: the keys it writes
// and removes, and integrity over many cycles: registering and
// unregistering over and over leaves exactly the same keys each time,
// replaces the ForceRemove keys whole, and leaves the shared keys and
// everything that belongs to others as they were.
#include <cwctype>
#include <string>

#include "common/win_resources.h"
#include "harness/test_paths.h"
#include "harness/zxmlhttp_module.h"
#include "support/page_test.h"
#include "support/registry_snapshot.h"

using namespace zx;
using namespace zx::test;

namespace {

constexpr wchar_t kAbsent[] = L"(absent)", kNoValue[] = L"(no value)";
constexpr wchar_t kTypeLibId[] = L"{6B1F3D2A-41C7-4E8B-9A55-0C2D7E93F1A4}";
constexpr wchar_t kPreApprovedKey[] =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Ext\\PreApproved\\";
// Safe for scripting, safe for initialisation.
const wchar_t* const kSafetyCategories[] = {L"{7DD95801-9882-11CF-9FA9-00AA006C42C4}",
                                            L"{7DD95802-9882-11CF-9FA9-00AA006C42C4}"};

// A registered class: its ProgID is "Zxmlhttp." and its name, and it is
// called its name and " Class".
struct RegisteredClass {
  std::wstring ProgId() const { return std::wstring(L"Zxmlhttp.") + name; }
  std::wstring Key() const { return std::wstring(L"CLSID\\") + clsid; }
  // The pre-approved list spells the CLSID in lower case.
  std::wstring PreApproved() const {
    std::wstring lower = clsid;
    for (wchar_t& letter : lower) letter = towlower(letter);
    return kPreApprovedKey + lower;
  }
  const wchar_t* name;
  const wchar_t* clsid;
};
const RegisteredClass kClasses[] = {
    {L"ZevXMLHttpRequest_0", L"{52E9A0B4-C7D1-4A3E-95F8-2B6C8D17E045}"},
    {L"ZevFileDialog_0", L"{3E8A7C51-9D2B-4F06-B4C3-71A5E0D96B28}"},
    {L"ZevMultiFileDialog_0", L"{9C4D2E17-6A3F-4B81-8E20-D5F7B1C40A93}"},
};

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

// Every key of the module's own, exported as text. (The interfaces' keys
// are the type library's registration; they show in SharedRoots.)
std::string TouchedKeys() {
  std::string text = RegistrySnapshot(HKEY_CLASSES_ROOT, std::wstring(L"TypeLib\\") + kTypeLibId);
  for (const RegisteredClass& c : kClasses) {
    for (const std::wstring& key : {c.ProgId(), c.ProgId() + L".1", c.Key()}) {
      text += RegistrySnapshot(HKEY_CLASSES_ROOT, key);
    }
    text += RegistrySnapshot(HKEY_LOCAL_MACHINE, c.PreApproved());
  }
  return text;
}

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
  for (const RegisteredClass& c : kClasses) {
    const std::wstring progId = c.ProgId(), versioned = progId + L".1", key = c.Key();
    const std::wstring name = c.name + std::wstring(L" Class");
    const std::wstring categories = key + L"\\Implemented Categories\\";
    const std::pair<std::wstring, std::wstring> values[] = {
        {progId, name},
        {progId + L"\\CurVer", versioned},
        {versioned, name},
        {versioned + L"\\CLSID", c.clsid},
        {key, name},
        {key + L"\\ProgID", versioned},
        {key + L"\\VersionIndependentProgID", progId},
        {key + L"\\Programmable", kNoValue},
        {key + L"\\TypeLib", kTypeLibId},
        {categories + kSafetyCategories[0], kNoValue},
        {categories + kSafetyCategories[1], kNoValue},
    };
    for (const auto& [path, value] : values) {
      EXPECT_EQ(Read(HKEY_CLASSES_ROOT, path), value) << path;
    }
    EXPECT_EQ(Read(HKEY_CLASSES_ROOT, key + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
    EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, c.PreApproved()), kNoValue);
  }
  // The type library (its locale 0x409) under the platform of this build.
  const std::wstring library = std::wstring(L"TypeLib\\") + kTypeLibId + L"\\1.0\\409";
  EXPECT_EQ(Read(HKEY_CLASSES_ROOT, library + (sizeof(void*) == 8 ? L"\\win64" : L"\\win32")), dll);
}

// A registration over a stale one replaces the ForceRemove keys whole. A
// second unregistration finds no type library to remove, which it reports,
// and removes nothing else.
TEST_F(RegistryIntegrityTest, EveryCycleLeavesExactlyTheSameKeysAndThoseOfOthers) {
  for (const std::wstring& key : kForeignKeys) WriteString(HKEY_CLASSES_ROOT, key, nullptr, L"x");
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
  for (const RegisteredClass& c : kClasses) {
    EXPECT_NE(Read(HKEY_LOCAL_MACHINE, c.PreApproved()), kAbsent);
    for (const std::wstring& key : {c.ProgId(), c.ProgId() + L".1", c.Key()}) {
      EXPECT_EQ(Read(HKEY_CLASSES_ROOT, key), kAbsent) << key;
    }
  }
  EXPECT_EQ(Read(HKEY_CLASSES_ROOT, std::wstring(L"TypeLib\\") + kTypeLibId), kAbsent);
  const int cycles = Scaled(25);
  for (int cycle = 0; cycle < cycles && !HasFailure(); ++cycle) {
    SCOPED_TRACE("cycle " + std::to_string(cycle));
    ASSERT_EQ(module.Register(), S_OK);
    EXPECT_EQ(TouchedKeys(), registered);
    for (const RegisteredClass& c : kClasses) {
      WriteString(HKEY_CLASSES_ROOT, c.Key() + L"\\Stale", nullptr, L"left by an old version");
      WriteString(HKEY_CLASSES_ROOT, c.Key() + L"\\Programmable\\Stale", L"v", L"old");
      WriteString(HKEY_CLASSES_ROOT, c.Key(), L"StaleValue", L"old");
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
