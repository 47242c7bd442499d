// Registry integrity: registering and unregistering the module many times
// leaves exactly the same keys each time; ForceRemove keys are replaced
// whole; shared keys and everything that belongs to others survive.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "common/win_resources.h"
#include "harness/zxmlhttp_module.h"
#include "reliability/reliability_scale.h"
#include "support/registration_keys.h"
#include "support/registry_snapshot.h"

using namespace zx;
using namespace zx::test;

namespace {

// Keys of others, beside the module's own below the shared roots.
constexpr wchar_t kForeignClass[] = L"CLSID\\{0B7F4E52-9A61-4C3D-8E20-5F1A6D9C7B34}";
constexpr wchar_t kForeignInterface[] = L"Interface\\{0B7F4E53-9A61-4C3D-8E20-5F1A6D9C7B34}";
constexpr wchar_t kForeignLibrary[] = L"TypeLib\\{0B7F4E54-9A61-4C3D-8E20-5F1A6D9C7B34}";
constexpr wchar_t kForeignCategory[] =
    L"Component Categories\\{0B7F4E55-9A61-4C3D-8E20-5F1A6D9C7B34}";
const std::wstring kForeignPreApproved =
    std::wstring(kPreApprovedKey) + L"{0b7f4e56-9a61-4c3d-8e20-5f1a6d9c7b34}";

bool KeyExists(HKEY root, const std::wstring& path) {
  UniqueRegKey key;
  return RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, key.Put()) == ERROR_SUCCESS;
}

void WriteString(HKEY root, const std::wstring& path, const wchar_t* name, const wchar_t* value) {
  UniqueRegKey key;
  ASSERT_EQ(RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, key.Put(),
                            nullptr),
            ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExW(key.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                           static_cast<DWORD>((wcslen(value) + 1) * sizeof(wchar_t))),
            ERROR_SUCCESS);
}

std::wstring ClassKey(const ClassKeys& c) { return std::wstring(L"CLSID\\") + c.clsid; }

// The shared roots the module registers below, whole: a key written or
// left anywhere in them shows.
std::string SharedRoots() {
  std::string text;
  for (const wchar_t* root : {L"CLSID", L"Interface", L"TypeLib", L"Component Categories"}) {
    text += RegistrySnapshot(HKEY_CLASSES_ROOT, root);
  }
  return text + RegistrySnapshot(HKEY_LOCAL_MACHINE, kPreApprovedKey);
}

class RegistryIntegrityTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CoInitialize(nullptr);
    ASSERT_NE(module.Handle(), nullptr);
  }
  void TearDown() override {
    for (const wchar_t* key :
         {kForeignClass, kForeignInterface, kForeignLibrary, kForeignCategory}) {
      RegDeleteTreeW(HKEY_CLASSES_ROOT, key);
    }
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kForeignPreApproved.c_str());
    // Other tests find the module as a page's host would.
    EXPECT_EQ(module.Register(), S_OK);
    CoUninitialize();
  }

  ZxmlhttpModule module;
};

TEST_F(RegistryIntegrityTest, EveryCycleLeavesExactlyTheSameKeys) {
  ASSERT_EQ(module.Register(), S_OK);
  const std::string registered = TouchedKeys();
  ASSERT_EQ(module.Unregister(), S_OK);
  const std::string unregistered = TouchedKeys();
  const std::string rootsBefore = SharedRoots();
  ASSERT_NE(registered, unregistered);
  const int cycles = Scaled(25);
  for (int cycle = 0; cycle < cycles && !HasFailure(); ++cycle) {
    SCOPED_TRACE("cycle " + std::to_string(cycle));
    ASSERT_EQ(module.Register(), S_OK);
    EXPECT_EQ(TouchedKeys(), registered);
    // A second registration changes nothing.
    ASSERT_EQ(module.Register(), S_OK);
    EXPECT_EQ(TouchedKeys(), registered);
    ASSERT_EQ(module.Unregister(), S_OK);
    EXPECT_EQ(TouchedKeys(), unregistered);
    // The type library is no longer there to unregister, which the second
    // call reports; it removes nothing else.
    module.Unregister();
    EXPECT_EQ(TouchedKeys(), unregistered);
  }
  EXPECT_EQ(SharedRoots(), rootsBefore);
  ReportFigure("registry: " + std::to_string(cycles) +
               " cycles of register twice, unregister twice, each compared key by key");
}

TEST_F(RegistryIntegrityTest, ForceRemoveKeysAreReplacedWhole) {
  ASSERT_EQ(module.Register(), S_OK);
  const std::string registered = TouchedKeys();
  for (const ClassKeys& c : kRegisteredClasses) {
    WriteString(HKEY_CLASSES_ROOT, ClassKey(c) + L"\\Stale", nullptr, L"left by an old version");
    WriteString(HKEY_CLASSES_ROOT, ClassKey(c) + L"\\Programmable\\Stale", L"v", L"old");
    WriteString(HKEY_CLASSES_ROOT, ClassKey(c), L"StaleValue", L"old");
  }
  ASSERT_EQ(module.Register(), S_OK);
  EXPECT_EQ(TouchedKeys(), registered);
}

TEST_F(RegistryIntegrityTest, SharedKeysAndTheKeysOfOthersSurviveEveryCycle) {
  const wchar_t* const foreign[] = {kForeignClass, kForeignInterface, kForeignLibrary,
                                    kForeignCategory};
  for (const wchar_t* key : foreign) WriteString(HKEY_CLASSES_ROOT, key, nullptr, L"not ours");
  WriteString(HKEY_LOCAL_MACHINE, kForeignPreApproved, nullptr, L"not ours");
  const int cycles = Scaled(5);
  for (int cycle = 0; cycle < cycles; ++cycle) {
    ASSERT_EQ(module.Register(), S_OK);
    ASSERT_EQ(module.Unregister(), S_OK);
  }
  for (const wchar_t* key : foreign) {
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, key)) << "foreign key";
  }
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kForeignPreApproved));
  for (const wchar_t* root : {L"CLSID", L"Interface", L"TypeLib"}) {
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, root));
  }
  // Categories and pre-approval may be shared with other modules: they stay.
  for (const wchar_t* category : kSafetyCategories) {
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, std::wstring(L"Component Categories\\") + category));
  }
  for (const ClassKeys& c : kRegisteredClasses) {
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, std::wstring(kPreApprovedKey) + c.preApproved));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, ClassKey(c)));
  }
}

}  // namespace
