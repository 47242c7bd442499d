#include "common/module_path.h"
#include "transport/endpoint_config.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "common/win_resources.h"
#include "transport/pipe_name_lookup.h"

namespace zx {
namespace {

const std::wstring kDefaultRoot = kDefaultSpRootKeyPath;

// A private folder for INI files, removed with everything in it.
class IniFolder {
 public:
  IniFolder() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    m_path = std::wstring(temp) + L"zx-ini-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(m_path.c_str(), nullptr);
  }
  ~IniFolder() {
    DeleteFileW(File(L"host").c_str());
    DeleteFileW(File(L"module").c_str());
    RemoveDirectoryW(m_path.c_str());
  }
  std::wstring File(const std::wstring& name) const { return m_path + L"\\" + name + L".dat"; }
  // Writes an INI file with the given text and returns its path.
  std::wstring Write(const std::wstring& name, const char* text) const {
    const std::wstring path = File(name);
    FILE* file = _wfopen(path.c_str(), L"wb");
    std::fputs(text, file);
    std::fclose(file);
    return path;
  }

 private:
  std::wstring m_path;
};

TEST(SpRoot, HostExecutableIniWinsOverModuleIni) {
  IniFolder folder;
  const std::wstring host = folder.Write(L"host", "[SPRoot]\r\nSPRoot=Host\\Root\\\r\n");
  const std::wstring module = folder.Write(L"module", "[SPRoot]\r\nSPRoot=Module\\Root\\\r\n");
  EXPECT_EQ(L"Host\\Root\\", ResolveSpRootKeyPath(host, module));
  EXPECT_EQ(L"Module\\Root\\", ResolveSpRootKeyPath(folder.File(L"absent"), module));
}

TEST(SpRoot, MissingOrEmptyValueFallsThroughToTheNextSource) {
  IniFolder folder;
  const std::wstring module = folder.Write(L"module", "[SPRoot]\r\nSPRoot=Module\\Root\\\r\n");
  for (const char* hostText : {"[SPRoot]\r\nSPRoot=\r\n", "[SPRoot]\r\nOther=X\r\n",
                               "[Other]\r\nSPRoot=X\r\n", ""}) {
    const std::wstring host = folder.Write(L"host", hostText);
    EXPECT_EQ(L"Module\\Root\\", ResolveSpRootKeyPath(host, module)) << hostText;
  }
  const std::wstring emptyModule = folder.Write(L"module", "[SPRoot]\r\nSPRoot=\r\n");
  EXPECT_EQ(kDefaultRoot, ResolveSpRootKeyPath(folder.File(L"host"), emptyModule));
}

TEST(SpRoot, TrailingBackslashIsAddedOnce) {
  IniFolder folder;
  const std::wstring without = folder.Write(L"host", "[SPRoot]\r\nSPRoot=SOFTWARE\\Other\r\n");
  EXPECT_EQ(L"SOFTWARE\\Other\\", ResolveSpRootKeyPath(without, L""));
  const std::wstring with = folder.Write(L"host", "[SPRoot]\r\nSPRoot=SOFTWARE\\Other\\\r\n");
  EXPECT_EQ(L"SOFTWARE\\Other\\", ResolveSpRootKeyPath(with, L""));

  std::wstring root = L"untouched";
  EXPECT_EQ(E_FAIL, ReadSpRootFromIni(folder.File(L"absent"), root));
  EXPECT_EQ(L"untouched", root);
}

TEST(SpRoot, DefaultRootWithoutAnyIni) {
  IniFolder folder;
  EXPECT_EQ(kDefaultRoot, ResolveSpRootKeyPath(folder.File(L"host"), folder.File(L"module")));
  EXPECT_EQ(kDefaultRoot, ResolveSpRootKeyPath(L"", L""));
  // The test program has no "zevcomm.dat" beside it.
  EXPECT_EQ(kDefaultRoot, SpRootKeyPath());
}

TEST(ModuleFiles, IniPathIsZevcommDatBesideTheModule) {
  std::wstring exe;
  ASSERT_EQ(S_OK, GetModuleFileNameString(nullptr, exe));
  ASSERT_NE(std::wstring::npos, exe.find(L"zx_transport_tests.exe"));
  const std::wstring folder = exe.substr(0, exe.rfind(L'\\'));
  EXPECT_EQ(folder + L"\\zevcomm.dat", ModuleIniPath(nullptr));
  EXPECT_EQ(folder + L"\\zevcomm.dat", ModuleIniPath(GetModuleHandleW(nullptr)));

  std::wstring name = L"untouched";
  EXPECT_EQ(E_FAIL, GetModuleFileNameString(reinterpret_cast<HMODULE>(0x10), name));
  EXPECT_EQ(L"untouched", name);
  EXPECT_EQ(L"", ModuleIniPath(reinterpret_cast<HMODULE>(0x10)));
}

constexpr wchar_t kTestKeysParent[] = L"SOFTWARE\\ZxTransportTests";

// Deletes a key below HKLM with everything in it, then its parents up to
// stopAt as far as they are left empty.
void DeleteKeyAndEmptyParents(std::wstring keyPath, const std::wstring& stopAt) {
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, keyPath.c_str());
  RegDeleteKeyW(HKEY_LOCAL_MACHINE, keyPath.c_str());
  for (size_t cut; (cut = keyPath.rfind(L'\\')) != std::wstring::npos && cut > stopAt.size();) {
    keyPath.resize(cut);
    if (RegDeleteKeyW(HKEY_LOCAL_MACHINE, keyPath.c_str()) != ERROR_SUCCESS) break;
  }
}

// Creates the key with a "Name" value of the given type and bytes.
void SetName(const std::wstring& keyPath, DWORD type, const void* data, DWORD size) {
  UniqueRegKey key;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, nullptr, 0,
                                           KEY_WRITE, nullptr, key.Put(), nullptr));
  ASSERT_EQ(ERROR_SUCCESS,
            RegSetValueExW(key.Get(), L"Name", 0, type, static_cast<const BYTE*>(data), size));
}

void SetName(const std::wstring& keyPath, const std::wstring& name) {
  SetName(keyPath, REG_SZ, name.c_str(), static_cast<DWORD>((name.size() + 1) * sizeof(wchar_t)));
}

// A root key path of the test's own below HKLM, removed afterwards.
class PipeNameRegistry : public ::testing::Test {
 protected:
  PipeNameRegistry()
      : m_root(std::wstring(kTestKeysParent) + L"\\" +
               std::to_wstring(GetCurrentProcessId()) + L"\\") {}
  ~PipeNameRegistry() override {
    DeleteKeyAndEmptyParents(m_root.substr(0, m_root.size() - 1), L"SOFTWARE");
  }

  const std::wstring m_root;
};

TEST_F(PipeNameRegistry, NameValueGivesThePipePath) {
  SetName(m_root + L"svc", L"zx.pipe-1");
  SetName(m_root + L"other", L"\x4E2D");
  std::wstring pipePath;
  ASSERT_EQ(0, LookupPipeName(m_root, L"svc", pipePath));
  EXPECT_EQ(L"\\\\.\\Pipe\\zx.pipe-1", pipePath);
  ASSERT_EQ(0, LookupPipeName(m_root, L"other", pipePath));
  EXPECT_EQ(L"\\\\.\\Pipe\\\x4E2D", pipePath);
}

TEST_F(PipeNameRegistry, MissingKeyOrValueReturnsTheRegistryErrorAndNoPath) {
  SetName(m_root + L"svc", L"zxpipe");
  std::wstring pipePath = L"previous";
  EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), LookupPipeName(m_root, L"absent", pipePath));
  EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), LookupPipeName(m_root + L"absent\\", L"svc", pipePath));
  UniqueRegKey key;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, (m_root + L"bare").c_str(), 0,
                                           nullptr, 0, KEY_WRITE, nullptr, key.Put(), nullptr));
  EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), LookupPipeName(m_root, L"bare", pipePath));
  EXPECT_EQ(L"", pipePath);
}

TEST_F(PipeNameRegistry, NameStoredWithoutTerminatorKeepsExactlyItsCharacters) {
  const wchar_t name[] = {L'z', L'x', L'p'};
  SetName(m_root + L"svc", REG_SZ, name, sizeof name);
  std::wstring pipePath;
  ASSERT_EQ(0, LookupPipeName(m_root, L"svc", pipePath));
  EXPECT_EQ(L"\\\\.\\Pipe\\zxp", pipePath);
}

TEST_F(PipeNameRegistry, NameOfAnotherTypeIsRefusedAndLeavesNoPath) {
  const wchar_t expandable[] = L"%TEMP%pipe";
  SetName(m_root + L"expand", REG_EXPAND_SZ, expandable, sizeof expandable);
  const DWORD number = 7;
  SetName(m_root + L"dword", REG_DWORD, &number, sizeof number);
  for (const wchar_t* service : {L"expand", L"dword"}) {
    std::wstring previous = L"\\\\.\\Pipe\\previous";
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_DATATYPE_MISMATCH), LookupPipeName(m_root, service, previous));
    EXPECT_EQ(L"", previous);
  }
}

TEST_F(PipeNameRegistry, NameLongerThanTheFirstQueryTakesIsReadWhole) {
  for (size_t length : {127u, 128u, 129u, 300u}) {
    const std::wstring name(length, L'n');
    SetName(m_root + L"long", name);
    std::wstring pipePath;
    ASSERT_EQ(0, LookupPipeName(m_root, L"long", pipePath));
    EXPECT_EQ(L"\\\\.\\Pipe\\" + name, pipePath);
  }
}

TEST_F(PipeNameRegistry, KeyPathTooLongForItsBufferIsRefusedNotCut) {
  // 259 characters fit with the terminator; 260 do not.
  const std::wstring fitting(259 - m_root.size(), L's');
  SetName(m_root + fitting, L"fits");
  std::wstring pipePath;
  ASSERT_EQ(0, LookupPipeName(m_root, fitting, pipePath));
  EXPECT_EQ(L"\\\\.\\Pipe\\fits", pipePath);

  pipePath = L"previous";
  EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_BUFFER_OVERFLOW), LookupPipeName(m_root, fitting + L"x", pipePath));
  EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_BUFFER_OVERFLOW), LookupPipeName(m_root, fitting + L"xyz", pipePath));
  EXPECT_EQ(L"", pipePath);
}

TEST_F(PipeNameRegistry, LookupReadsTheNameAgainAtEveryCall) {
  PipeNameLookup lookup;
  std::wstring pipePath;
  SetName(m_root + L"svc", L"first");
  ASSERT_EQ(0, lookup.Lookup(m_root, L"svc", pipePath));
  EXPECT_EQ(L"\\\\.\\Pipe\\first", pipePath);
  SetName(m_root + L"svc", L"second");
  ASSERT_EQ(0, lookup.Lookup(m_root, L"svc", pipePath));
  EXPECT_EQ(L"\\\\.\\Pipe\\second", pipePath);
  SetName(m_root + L"other", L"third");
  ASSERT_EQ(0, lookup.Lookup(m_root, L"other", pipePath));
  EXPECT_EQ(L"\\\\.\\Pipe\\third", pipePath);
  ASSERT_EQ(0, lookup.Lookup(m_root, L"svc", pipePath));
  EXPECT_EQ(L"\\\\.\\Pipe\\second", pipePath);
}

TEST_F(PipeNameRegistry, LookupAnswersAsLookupPipeNameWhenKeysComeAndGo) {
  PipeNameLookup lookup;
  std::wstring pipePath = L"previous";
  EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), lookup.Lookup(m_root, L"svc", pipePath));
  SetName(m_root + L"svc", L"created");
  ASSERT_EQ(0, lookup.Lookup(m_root, L"svc", pipePath));
  EXPECT_EQ(L"\\\\.\\Pipe\\created", pipePath);

  ASSERT_EQ(ERROR_SUCCESS, RegDeleteKeyW(HKEY_LOCAL_MACHINE, (m_root + L"svc").c_str()));
  EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), lookup.Lookup(m_root, L"svc", pipePath));
  EXPECT_EQ(L"", pipePath);
  SetName(m_root + L"svc", L"recreated");
  ASSERT_EQ(0, lookup.Lookup(m_root, L"svc", pipePath));
  EXPECT_EQ(L"\\\\.\\Pipe\\recreated", pipePath);

  const DWORD number = 7;
  SetName(m_root + L"svc", REG_DWORD, &number, sizeof number);
  EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_DATATYPE_MISMATCH), lookup.Lookup(m_root, L"svc", pipePath));
  EXPECT_EQ(L"", pipePath);
  EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_BUFFER_OVERFLOW), lookup.Lookup(m_root, std::wstring(260, L's'), pipePath));
}

TEST(PipeName, ServiceNameIsAppendedDirectlyToTheProcessRoot) {
  ASSERT_EQ(kDefaultRoot, SpRootKeyPath());
  const std::wstring service = L"zx-transport-test-" + std::to_wstring(GetCurrentProcessId());
  SetName(kDefaultRoot + service, L"zx-default-root");
  std::wstring pipePath;
  const HRESULT hr = LookupPipeName(service, pipePath);
  DeleteKeyAndEmptyParents(kDefaultRoot + service, L"SOFTWARE");
  ASSERT_EQ(0, hr);
  EXPECT_EQ(L"\\\\.\\Pipe\\zx-default-root", pipePath);
}

}  // namespace
}  // namespace zx
