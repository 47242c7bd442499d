// Registry integrity against the prefix's registry: registering and
// unregistering the module over and over leaves exactly the same keys each
// time, replaces its ForceRemove keys whole, and leaves the shared keys and
// everything that belongs to others as they were.
#include <string>

#include "common/win_resources.h"
#include "harness/zxmlhttp_module.h"
#include "reliability/reliability.h"
#include "support/registration_keys.h"
#include "support/registry_snapshot.h"

using namespace zx;
using namespace zx::test;

namespace {

// Keys of others beside the module's own below the shared roots.
const std::wstring kForeignKeys[] = {
    L"CLSID\\{0B7F4E52-9A61-4C3D-8E20-5F1A6D9C7B34}",
    L"Interface\\{0B7F4E53-9A61-4C3D-8E20-5F1A6D9C7B34}",
    L"TypeLib\\{0B7F4E54-9A61-4C3D-8E20-5F1A6D9C7B34}",
    L"Component Categories\\{0B7F4E55-9A61-4C3D-8E20-5F1A6D9C7B34}",
};
const std::wstring kForeignPreApproved =
    std::wstring(kPreApprovedKey) + L"{0b7f4e56-9a61-4c3d-8e20-5f1a6d9c7b34}";

bool KeyExists(HKEY root, const std::wstring& path) {
  UniqueRegKey key;
  return RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, key.Put()) == ERROR_SUCCESS;
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

class RegistryIntegrityTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CoInitialize(nullptr);
    ASSERT_NE(module.Handle(), nullptr);
  }
  void TearDown() override {
    for (const std::wstring& key : kForeignKeys) RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str());
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kForeignPreApproved.c_str());
    // Other tests find the module as a page's host would.
    EXPECT_EQ(module.Register(), S_OK);
    CoUninitialize();
  }

  ZxmlhttpModule module;
};

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
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, std::wstring(L"Component Categories\\") + category));
  }
  for (const ClassKeys& c : kRegisteredClasses) {
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, std::wstring(kPreApprovedKey) + c.preApproved));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, ClassKey(c)));
  }
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
