// The registrar against the real registry, below a test key of
// HKCU\Software: value types as the registry stores them, and a refused
// write undone.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "common/win_resources.h"
#include "registrar/registrar_resource.h"
#include "registrar/registrar_variables.h"
#include "support/registry_snapshot.h"

namespace zx {
namespace {

constexpr std::string_view kScript =
    "HKCU { NoRemove Software { NoRemove ZxRegistrarTest { %OBJECT_NAME% = s '%MODULE%' { "
    "val ThreadingModel = s 'Apartment' Data { val Number = d 0x12345678 val Bytes = b '0102ff' "
    "val Strings = m 'one\\0two' } } } } }";
constexpr wchar_t kTestKey[] = L"Software\\ZxRegistrarTest";

// The registry's bytes of a string: UTF-16, zero-terminated.
std::string Utf16Bytes(std::u16string_view text) {
  return {reinterpret_cast<const char*>(text.data()), (text.size() + 1) * sizeof(char16_t)};
}

// The test key exists throughout, so the registry can be compared before and after.
class Win32Registrar : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(CreateKey(kTestKey, 0), ERROR_SUCCESS); }
  void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, kTestKey); }

  static LONG CreateKey(const std::wstring& path, DWORD options) {
    UniqueRegKey key;
    return RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, options, KEY_READ, nullptr,
                           key.Put(), nullptr);
  }

  static HRESULT Run(std::string_view script, RegistrationMode mode) {
    const ScriptVariables variables = MakeClassScriptVariables(
        {u"Zev_0", u"{clsid}", u"{libid}", u"C:\\Zev's Suite\\z.dll"});
    return RunRegistryScript(script, variables, mode);
  }

  static std::string Snapshot() { return test::RegistrySnapshot(HKEY_CURRENT_USER, L"Software"); }

  // Type and raw bytes of a value below the test key.
  static std::pair<DWORD, std::string> Value(const wchar_t* path, const wchar_t* name) {
    char data[256];
    DWORD type = 0, size = sizeof data;
    const LONG status = RegGetValueW(HKEY_CURRENT_USER, (std::wstring(kTestKey) + path).c_str(),
                                     name, RRF_RT_ANY | RRF_NOEXPAND, &type, data, &size);
    return {status == ERROR_SUCCESS ? type : REG_NONE, std::string(data, status ? 0 : size)};
  }
};

TEST_F(Win32Registrar, RegisterWritesTypedValuesAndUnregisterRestoresTheRegistry) {
  const std::string before = Snapshot();
  ASSERT_EQ(Run(kScript, RegistrationMode::kRegister), S_OK);
  const struct {
    const wchar_t* path;
    const wchar_t* name;
    DWORD type;
    std::string bytes;
  } values[] = {
      {L"\\Zev_0", nullptr, REG_SZ, Utf16Bytes(u"C:\\Zev's Suite\\z.dll")},
      {L"\\Zev_0", L"ThreadingModel", REG_SZ, Utf16Bytes(u"Apartment")},
      {L"\\Zev_0\\Data", L"Number", REG_DWORD, "\x78\x56\x34\x12"},
      {L"\\Zev_0\\Data", L"Bytes", REG_BINARY, "\x01\x02\xff"},
      {L"\\Zev_0\\Data", L"Strings", REG_MULTI_SZ, Utf16Bytes({u"one\0two\0", 8})},
  };
  for (const auto& value : values) {
    EXPECT_EQ(Value(value.path, value.name), std::make_pair(value.type, value.bytes)) << value.name;
  }
  ASSERT_EQ(Run(kScript, RegistrationMode::kUnregister), S_OK);
  EXPECT_EQ(Snapshot(), before);
}

TEST_F(Win32Registrar, RefusedWriteIsReportedAndUndone) {
  // The registry refuses a lasting key below a volatile one.
  ASSERT_EQ(CreateKey(std::wstring(kTestKey) + L"\\Volatile", REG_OPTION_VOLATILE), ERROR_SUCCESS);
  const std::string before = Snapshot();
  EXPECT_EQ(Run("HKCU { NoRemove Software { NoRemove ZxRegistrarTest { Fresh = s 'x' { Deeper } "
                "NoRemove Volatile { Lasting } } } }",
                RegistrationMode::kRegister),
            HRESULT_FROM_WIN32(ERROR_CHILD_MUST_BE_VOLATILE));
  EXPECT_EQ(Snapshot(), before);
}

TEST_F(Win32Registrar, ScriptThatDoesNotParseWritesNothing) {
  const std::string before = Snapshot();
  for (std::string_view script : {"HKCU { NoRemove Software { Fresh = s 'x' }",
                                  "HKCU { NoRemove Software { Fresh = s '%UNKNOWN%' } }",
                                  "HKCU { NoRemove Software { Fresh = s '\xC3' } }"}) {
    EXPECT_EQ(Run(script, RegistrationMode::kRegister), kInvalidRegistryScript) << script;
  }
  EXPECT_EQ(Snapshot(), before);
  // This test program has no resources at all.
  EXPECT_EQ(RunRegistryResource(GetModuleHandleW(nullptr), 102, {}, RegistrationMode::kRegister),
            HRESULT_FROM_WIN32(ERROR_RESOURCE_DATA_NOT_FOUND));
}

}  // namespace
}  // namespace zx
