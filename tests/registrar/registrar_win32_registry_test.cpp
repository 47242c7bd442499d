// The registrar against the real registry, below a test key of
// HKCU\Software: each value type as the registry stores it (the module's own
// scripts write only strings), and failures that leave the registry as it was.
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

HRESULT Apply(std::string_view keysInTestKey, RegistrationMode mode = kRegister) {
  const std::string script = "HKCU { NoRemove Software { NoRemove ZxRegistrarTest { " +
                             std::string(keysInTestKey) + " } } }";
  return RunRegistryScript(script, {}, mode);
}

LONG CreateTestKey(const wchar_t* below, DWORD options) {
  UniqueRegKey key;
  return RegCreateKeyExW(HKEY_CURRENT_USER, (kTestKey + std::wstring(below)).c_str(), 0, nullptr,
                         options, KEY_READ, nullptr, key.Put(), nullptr);
}

std::string Snapshot() { return test::RegistrySnapshot(HKEY_CURRENT_USER, L"Software"); }

// The type and raw bytes of a value of the test key's subkey "Zev".
std::pair<DWORD, std::string> Value(const wchar_t* name) {
  char data[256];
  DWORD type = 0, size = sizeof data;
  const LONG status = RegGetValueW(HKEY_CURRENT_USER, (kTestKey + std::wstring(L"\\Zev")).c_str(),
                                   name, RRF_RT_ANY | RRF_NOEXPAND, &type, data, &size);
  return {status == ERROR_SUCCESS ? type : REG_NONE, std::string(data, status ? 0 : size)};
}

// The registry's bytes of strings: UTF-16, each one zero-terminated.
std::string Utf16Bytes(std::u16string_view text) {
  return {reinterpret_cast<const char*>(text.data()), (text.size() + 1) * sizeof(char16_t)};
}

// The test key exists throughout, so the registry can be compared before and after.
class Win32Registrar : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(CreateTestKey(L"", 0), ERROR_SUCCESS); }
  void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, kTestKey); }
};

TEST_F(Win32Registrar, EachValueTypeIsStoredAsTheRegistryHoldsItAndRemovedAgain) {
  const std::string before = Snapshot();
  constexpr std::string_view kKey =
      "Zev { val Text = s 'Apartment' val Number = d 0x12345678 "
      "val Bytes = b '0102ff' val Strings = m 'one\\0two' }";
  ASSERT_EQ(Apply(kKey), S_OK);
  const struct {
    const wchar_t* name;
    DWORD type;
    std::string bytes;
  } values[] = {
      {L"Text", REG_SZ, Utf16Bytes(u"Apartment")},
      {L"Number", REG_DWORD, "\x78\x56\x34\x12"},
      {L"Bytes", REG_BINARY, "\x01\x02\xff"},
      {L"Strings", REG_MULTI_SZ, Utf16Bytes({u"one\0two\0", 8})},
  };
  for (const auto& value : values) {
    EXPECT_EQ(Value(value.name), std::make_pair(value.type, value.bytes)) << value.name;
  }
  ASSERT_EQ(Apply(kKey, RegistrationMode::kUnregister), S_OK);
  EXPECT_EQ(Snapshot(), before);
}

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
