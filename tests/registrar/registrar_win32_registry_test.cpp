// The registrar against the real registry, below a test key of
// HKCU\Software: failures that leave the registry as it was. How each value
// type is stored is not checked: the module's own scripts write only strings.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "common/win_resources.h"
#include "registrar/registrar_resource.h"
#include "support/registry_snapshot.h"

namespace zx {
namespace {

constexpr wchar_t kTestKey[] = L"Software\\ZxRegistrarTest";
constexpr auto kRegister = RegistrationMode::kRegister;

HRESULT Apply(std::string_view keysInTestKey) {
  const std::string script = "HKCU { NoRemove Software { NoRemove ZxRegistrarTest { " +
                             std::string(keysInTestKey) + " } } }";
  return RunRegistryScript(script, {}, kRegister);
}

LONG CreateTestKey(const wchar_t* below, DWORD options) {
  UniqueRegKey key;
  return RegCreateKeyExW(HKEY_CURRENT_USER, (kTestKey + std::wstring(below)).c_str(), 0, nullptr,
                         options, KEY_READ, nullptr, key.Put(), nullptr);
}

std::string Snapshot() { return test::RegistrySnapshot(HKEY_CURRENT_USER, L"Software"); }

// The test key exists throughout, so the registry can be compared before and after.
class Win32Registrar : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(CreateTestKey(L"", 0), ERROR_SUCCESS); }
  void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, kTestKey); }
};

TEST_F(Win32Registrar, FailuresAreReportedAndLeaveTheRegistryAsItWas) {
  // The registry refuses a lasting key below a volatile one.
  ASSERT_EQ(CreateTestKey(L"\\Volatile", REG_OPTION_VOLATILE), ERROR_SUCCESS);
  const std::string before = Snapshot();
  EXPECT_EQ(Apply("Fresh = s 'x' { Deeper } NoRemove Volatile { Lasting }"),
            HRESULT_FROM_WIN32(ERROR_CHILD_MUST_BE_VOLATILE));
  EXPECT_EQ(Apply("Fresh = s '%UNKNOWN%'"), kInvalidRegistryScript);
  EXPECT_EQ(Snapshot(), before);
  // This test program has no resources at all.
  EXPECT_EQ(RunRegistryResource(GetModuleHandleW(nullptr), 102, {}, kRegister),
            HRESULT_FROM_WIN32(ERROR_RESOURCE_DATA_NOT_FOUND));
}

}  // namespace
}  // namespace zx
