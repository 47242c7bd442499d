// Where a service's pipe is: the SP root from the INI files, and the pipe
// name from the registry, read by both lookups alike.
#include "transport/endpoint_config.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/module_path.h"
#include "harness/sample_service_process.h"
#include "transport/pipe_name_lookup.h"

namespace zx {
namespace {

using test::TempFile;

// An INI file holding text, or none at all (nullptr).
class IniFile : public TempFile {
 public:
  explicit IniFile(const char* text) : TempFile(L"zx-ini") {
    if (!text) return;
    UniqueFile file(CreateFileW(Path().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    DWORD written = 0;
    WriteFile(file.Get(), text, static_cast<DWORD>(strlen(text)), &written, nullptr);
  }
};

// An empty value counts as none; the root ends in a backslash.
TEST(SpRoot, HostIniFirstThenModuleIniThenTheDefault) {
  const std::wstring kDefault = kDefaultSpRootKeyPath;
  const char *kHost = "[SPRoot]\r\nSPRoot=Host\\Root\\\r\n",
             *kModule = "[SPRoot]\r\nSPRoot=Module\r\n", *kEmpty = "[SPRoot]\r\nSPRoot=\r\n";
  const struct Case {
    const char *host, *module;
    std::wstring root;
  } cases[] = {
      {kHost, kModule, L"Host\\Root\\"},
      {nullptr, kModule, L"Module\\"},
      {kEmpty, kModule, L"Module\\"},
      {kEmpty, kEmpty, kDefault},
  };
  for (const Case& c : cases) {
    IniFile host(c.host), module(c.module);
    EXPECT_EQ(ResolveSpRootKeyPath(host.Path(), module.Path()), c.root) << &c - cases;
  }
  EXPECT_EQ(ResolveSpRootKeyPath(L"", L""), kDefault);
  // The test program has no "zevcomm.dat" beside it.
  EXPECT_EQ(SpRootKeyPath(), kDefault);
  std::wstring program;
  ASSERT_EQ(GetModuleFileNameString(nullptr, program), S_OK);
  EXPECT_EQ(ModuleIniPath(nullptr), program.substr(0, program.rfind(L'\\')) + L"\\zevcomm.dat");
}

// Service keys below a root of this test's own, removed afterwards.
class PipeName : public ::testing::Test {
 protected:
  ~PipeName() override { RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\ZxTransportTests"); }

  // The service's key with a "Name" value of the given type and bytes.
  void Set(const std::wstring& service, DWORD type, const void* data, DWORD size) {
    UniqueRegKey key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, (root + service).c_str(), 0, nullptr, 0,
                              KEY_WRITE, nullptr, key.Put(), nullptr),
              ERROR_SUCCESS);
    if (data) RegSetValueExW(key.Get(), L"Name", 0, type, static_cast<const BYTE*>(data), size);
  }
  void Set(const std::wstring& service, const std::wstring& name) {
    Set(service, REG_SZ, name.c_str(), static_cast<DWORD>((name.size() + 1) * sizeof(wchar_t)));
  }
  // Both lookups answer alike, and leave no path behind a failure.
  void ExpectLookup(PipeNameLookup& lookup, const std::wstring& service, HRESULT hr,
                    const std::wstring& pipeName) {
    for (bool kept : {false, true}) {
      std::wstring path = L"previous";
      EXPECT_EQ(kept ? lookup.Lookup(root, service, path) : LookupPipeName(root, service, path),
                hr);
      EXPECT_EQ(path, hr == S_OK ? L"\\\\.\\Pipe\\" + pipeName : L"") << kept;
    }
  }

  const std::wstring root = L"SOFTWARE\\ZxTransportTests\\" + test::UniqueName(L"root") + L"\\";
};

// A name without its terminator is read whole; any other type names no
// pipe. The first query reads 128 characters, the terminator included. The
// kept lookup holds the key open between its calls, yet reads the name again
// every time and finds a key deleted and made again.
TEST_F(PipeName, OnlyAStringNameValueNamesThePipe) {
  const wchar_t unterminated[] = {L'z', L'x', L'p'}, expandable[] = L"%TEMP%pipe";
  Set(L"svc", L"zx.pipe-1");
  Set(L"bare", REG_SZ, unterminated, sizeof unterminated);
  Set(L"expand", REG_EXPAND_SZ, expandable, sizeof expandable);
  Set(L"valueless", REG_SZ, nullptr, 0);
  // 259 characters of key path fit with the terminator; 260 do not.
  const std::wstring fitting(259 - root.size(), L's');
  Set(fitting, L"fits");
  PipeNameLookup lookup;
  ExpectLookup(lookup, L"svc", S_OK, L"zx.pipe-1");
  ExpectLookup(lookup, L"bare", S_OK, L"zxp");
  ExpectLookup(lookup, L"expand", HRESULT_FROM_WIN32(ERROR_DATATYPE_MISMATCH), L"");
  ExpectLookup(lookup, L"valueless", HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), L"");
  ExpectLookup(lookup, fitting, S_OK, L"fits");
  ExpectLookup(lookup, fitting + L"x", HRESULT_FROM_WIN32(ERROR_BUFFER_OVERFLOW), L"");
  for (size_t length : {127u, 128u}) {
    Set(L"long", std::wstring(length, L'n'));
    ExpectLookup(lookup, L"long", S_OK, std::wstring(length, L'n'));
  }
  ASSERT_EQ(RegDeleteKeyW(HKEY_LOCAL_MACHINE, (root + L"long").c_str()), ERROR_SUCCESS);
  ExpectLookup(lookup, L"long", HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), L"");
  Set(L"long", L"again");
  ExpectLookup(lookup, L"long", S_OK, L"again");
}

}  // namespace
}  // namespace zx
