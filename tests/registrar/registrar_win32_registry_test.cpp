#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "common/win_resources.h"
#include "registrar/registrar_resource.h"
#include "registrar/registrar_variables.h"
#include "support/registry_snapshot.h"

namespace zx {
namespace {

// Mirrors a class script, below a test key of HKCU\Software instead of HKCR.
constexpr std::string_view kScript = R"(HKCU
{
	NoRemove Software
	{
		NoRemove %ROOT%
		{
			Zxmlhttp.%OBJECT_NAME%.1 = s '%OBJECT_NAME% Class'
			{
				CLSID = s '%OBJECT_GUID_STRING%'
			}
			NoRemove CLSID
			{
				ForceRemove %OBJECT_GUID_STRING% = s '%OBJECT_NAME% Class'
				{
					ForceRemove 'Programmable'
					InprocServer32 = s '%MODULE%'
					{
						val ThreadingModel = s 'Apartment'
					}
					'TypeLib' = s '%TYPELIB_GUID_STRING%'
					Data
					{
						val Number = d 0x12345678
						val Bytes = b '0102ff'
						val Strings = m 'one\0two'
					}
				}
			}
		}
	}
})";

constexpr wchar_t kClassKey[] = L"CLSID\\{52E9A0B4-C7D1-4A3E-95F8-2B6C8D17E045}";

class Win32Registrar : public ::testing::Test {
 protected:
  void SetUp() override {
    m_root = L"ZxTest_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
             std::to_wstring(GetTickCount());
    m_rootPath = L"Software\\" + m_root;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, m_rootPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, m_rootKey.Put(), nullptr),
              ERROR_SUCCESS);
    m_variables = MakeClassScriptVariables(
        {u"ZevXMLHttpRequest_0", u"{52E9A0B4-C7D1-4A3E-95F8-2B6C8D17E045}",
         u"{6B1F3D2A-41C7-4E8B-9A55-0C2D7E93F1A4}", u"C:\\Zev's Suite\\zxmlhttp.dll"});
    m_variables[u"ROOT"] = std::u16string(m_root.begin(), m_root.end());
  }

  void TearDown() override {
    m_rootKey.Reset();
    RegDeleteTreeW(HKEY_CURRENT_USER, m_rootPath.c_str());
  }

  static std::string SoftwareSnapshot() { return test::RegistrySnapshot(HKEY_CURRENT_USER, L"Software"); }

  HRESULT Run(std::string_view script, RegistrationMode mode) {
    return RunRegistryScript(script, m_variables, mode);
  }

  void CreateKey(const std::wstring& path, DWORD options = 0) {
    UniqueRegKey key;
    ASSERT_EQ(RegCreateKeyExW(m_rootKey.Get(), path.c_str(), 0, nullptr, options, KEY_ALL_ACCESS,
                              nullptr, key.Put(), nullptr),
              ERROR_SUCCESS);
  }

  bool KeyExists(const std::wstring& path) {
    UniqueRegKey key;
    return RegOpenKeyExW(m_rootKey.Get(), path.c_str(), 0, KEY_READ, key.Put()) == ERROR_SUCCESS;
  }

  // Type and bytes of a value below the test root.
  std::string Value(const std::wstring& path, const wchar_t* name) {
    BYTE data[1024];
    DWORD type = 0, size = sizeof data;
    const LONG status = RegGetValueW(m_rootKey.Get(), path.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND,
                                     &type, data, &size);
    return status == ERROR_SUCCESS ? std::to_string(type) + ":" + test::HexBytes(data, size)
                                   : "error " + std::to_string(status);
  }

  static std::string Utf16Hex(std::u16string_view text) {
    return test::HexBytes(reinterpret_cast<const BYTE*>(text.data()), static_cast<DWORD>(text.size() * 2));
  }

  std::wstring m_root;
  std::wstring m_rootPath;
  UniqueRegKey m_rootKey;
  ScriptVariables m_variables;
};

TEST_F(Win32Registrar, RegisterWritesTypedValuesAndUnregisterRestoresTheRegistry) {
  CreateKey(L"CLSID\\{00000000-1111-2222-3333-444444444444}\\InprocServer32");
  const std::string before = SoftwareSnapshot();

  ASSERT_EQ(Run(kScript, RegistrationMode::kRegister), S_OK);
  const std::wstring classKey = kClassKey;
  EXPECT_EQ(Value(classKey + L"\\InprocServer32", nullptr),
            "1:" + Utf16Hex(std::u16string_view(u"C:\\Zev's Suite\\zxmlhttp.dll", 28)));
  EXPECT_EQ(Value(classKey + L"\\InprocServer32", L"ThreadingModel"),
            "1:" + Utf16Hex(std::u16string_view(u"Apartment", 10)));
  EXPECT_EQ(Value(classKey + L"\\Data", L"Number"), "4:78563412");
  EXPECT_EQ(Value(classKey + L"\\Data", L"Bytes"), "3:0102ff");
  EXPECT_EQ(Value(classKey + L"\\Data", L"Strings"),
            "7:" + Utf16Hex(std::u16string_view(u"one\0two\0", 9)));
  EXPECT_TRUE(KeyExists(classKey + L"\\Programmable"));
  EXPECT_EQ(Value(L"Zxmlhttp.ZevXMLHttpRequest_0.1\\CLSID", nullptr),
            "1:" + Utf16Hex(std::u16string_view(u"{52E9A0B4-C7D1-4A3E-95F8-2B6C8D17E045}", 39)));

  ASSERT_EQ(Run(kScript, RegistrationMode::kUnregister), S_OK);
  EXPECT_EQ(SoftwareSnapshot(), before);
}

TEST_F(Win32Registrar, ForceRemoveDeletesTheExistingTreeFirst) {
  const std::wstring classKey = kClassKey;
  CreateKey(classKey + L"\\Stale\\Deeper\\Deepest");
  CreateKey(classKey + L"\\Programmable\\Leftover");

  ASSERT_EQ(Run(kScript, RegistrationMode::kRegister), S_OK);
  EXPECT_FALSE(KeyExists(classKey + L"\\Stale"));
  EXPECT_FALSE(KeyExists(classKey + L"\\Programmable\\Leftover"));
  EXPECT_TRUE(KeyExists(classKey + L"\\Programmable"));

  ASSERT_EQ(Run(kScript, RegistrationMode::kUnregister), S_OK);
  EXPECT_FALSE(KeyExists(classKey));
  EXPECT_TRUE(KeyExists(L"CLSID"));
}

TEST_F(Win32Registrar, FailedRegistrationIsReportedAndUndone) {
  // The registry refuses a lasting key below a volatile one.
  CreateKey(L"Volatile", REG_OPTION_VOLATILE);
  const std::string before = SoftwareSnapshot();
  const std::string script =
      "HKCU { NoRemove Software { NoRemove %ROOT% { Fresh = s 'x' { Deeper } "
      "NoRemove Volatile { Lasting } } } }";
  EXPECT_EQ(Run(script, RegistrationMode::kRegister),
            HRESULT_FROM_WIN32(ERROR_CHILD_MUST_BE_VOLATILE));
  EXPECT_EQ(SoftwareSnapshot(), before);
}

TEST_F(Win32Registrar, InvalidScriptWritesNothing) {
  const std::string before = SoftwareSnapshot();
  for (std::string_view script :
       {std::string_view("HKCU { NoRemove Software { NoRemove %ROOT% { Fresh = s 'x' } }"),
        std::string_view(
            "HKCU { NoRemove Software { NoRemove %ROOT% { Fresh = s '%UNKNOWN%' } } }"),
        std::string_view("HKCU { NoRemove Software { NoRemove %ROOT% { Fresh = s '\xC3' } } }")}) {
    EXPECT_EQ(Run(script, RegistrationMode::kRegister), kInvalidRegistryScript) << script;
  }
  EXPECT_EQ(SoftwareSnapshot(), before);
}

// This test program has no resources at all.
TEST_F(Win32Registrar, MissingScriptResourceIsReported) {
  EXPECT_EQ(
      RunRegistryResource(GetModuleHandleW(nullptr), 102, m_variables, RegistrationMode::kRegister),
      HRESULT_FROM_WIN32(ERROR_RESOURCE_DATA_NOT_FOUND));
}

}  // namespace
}  // namespace zx
