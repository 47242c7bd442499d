#include "transport/endpoint_config.h"

#include <shlwapi.h>

#include <cwchar>
#include <new>
#include <stdexcept>
#include <utility>
#include <vector>

#include "common/module_path.h"
#include "common/win_resources.h"
#include "protocol/result_codes.h"

namespace zx {
namespace {

constexpr wchar_t kIniFileName[] = L"zevcomm.dat";
constexpr wchar_t kIniSection[] = L"SPRoot";
constexpr wchar_t kIniKey[] = L"SPRoot";
constexpr DWORD kIniValueCapacity = 1024;

// SP root and service name are composed in a buffer of MAX_PATH characters
// including the terminator.
constexpr size_t kMaxKeyPathLength = MAX_PATH - 1;
// A longer key path is refused rather than cut: the cut path could name
// another service's key. The lookup's failures are the registry's, so this
// one is a Win32 error too ("The file name is too long.").
constexpr HRESULT kKeyPathTooLong = HRESULT_FROM_WIN32(ERROR_BUFFER_OVERFLOW);

// Pipe names that fit here are read with one query; a longer value is asked
// for its size first and read into a buffer of that size.
constexpr DWORD kShortValueChars = 128;

// value holds the stored data and, behind it, the terminator that the data
// need not carry. A value of another type names no pipe, and saying so is
// what keeps a caller from using a path it had before.
LONG TakePipeName(LONG rc, DWORD type, const wchar_t* value, std::wstring& pipePath) {
  if (rc != ERROR_SUCCESS) return rc;
  if (type != REG_SZ) return ERROR_DATATYPE_MISMATCH;
  std::wstring path = kPipePathPrefix;
  path += value;
  pipePath = std::move(path);
  return ERROR_SUCCESS;
}

// Reads "Name" into a zero-filled buffer with room for a terminator that the
// stored data need not carry. Returns the registry's result.
LONG ReadLongPipeName(HKEY key, std::wstring& pipePath) {
  DWORD size = 0;
  LONG rc = RegQueryValueExW(key, kPipeNameValue, nullptr, nullptr, nullptr, &size);
  if (rc != ERROR_SUCCESS) return rc;
  std::vector<wchar_t> value(size / sizeof(wchar_t) + 2);
  DWORD type = REG_NONE;
  rc = RegQueryValueExW(key, kPipeNameValue, nullptr, &type, reinterpret_cast<BYTE*>(value.data()),
                        &size);
  return TakePipeName(rc, type, value.data(), pipePath);
}

// The same in one query for the usual short name: every open looks the name
// up again, and each query is a round trip to the registry.
LONG ReadPipeName(HKEY key, std::wstring& pipePath) {
  wchar_t value[kShortValueChars + 2] = {};
  DWORD size = kShortValueChars * sizeof(wchar_t);
  DWORD type = REG_NONE;
  const LONG rc =
      RegQueryValueExW(key, kPipeNameValue, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
  if (rc == ERROR_MORE_DATA) return ReadLongPipeName(key, pipePath);
  return TakePipeName(rc, type, value, pipePath);
}

}  // namespace

const std::wstring& SpRootKeyPath() {
  static const std::wstring root = ResolveSpRootKeyPath();
  return root;
}

namespace {
// Fixes the SP root while the module loads, before any object exists.
[[maybe_unused]] const std::wstring& g_spRootAtLoad = SpRootKeyPath();
}  // namespace

std::wstring ResolveSpRootKeyPath() {
  const HMODULE self = ThisModule();
  return ResolveSpRootKeyPath(ModuleIniPath(nullptr), self ? ModuleIniPath(self) : std::wstring());
}

std::wstring ResolveSpRootKeyPath(const std::wstring& hostIniPath,
                                  const std::wstring& moduleIniPath) {
  std::wstring root;
  if (SUCCEEDED(ReadSpRootFromIni(hostIniPath, root)) ||
      SUCCEEDED(ReadSpRootFromIni(moduleIniPath, root))) {
    return root;
  }
  return kDefaultSpRootKeyPath;
}

HRESULT LookupPipeName(std::wstring_view serviceName, std::wstring& pipePath) noexcept {
  return LookupPipeName(SpRootKeyPath(), serviceName, pipePath);
}

HRESULT LookupPipeName(std::wstring_view rootKeyPath, std::wstring_view serviceName,
                       std::wstring& pipePath) noexcept {
  pipePath.clear();
  UniqueRegKey key;
  const HRESULT hr = OpenServiceKey(rootKeyPath, serviceName, key);
  return FAILED(hr) ? hr : ReadPipeNameValue(key.Get(), pipePath);
}

HRESULT OpenServiceKey(std::wstring_view rootKeyPath, std::wstring_view serviceName,
                       UniqueRegKey& key) noexcept {
  if (rootKeyPath.size() + serviceName.size() > kMaxKeyPathLength) return kKeyPathTooLong;
  try {
    std::wstring keyPath(rootKeyPath);
    keyPath += serviceName;
    UniqueRegKey opened;
    const LONG rc = RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ, opened.Put());
    if (rc == ERROR_SUCCESS) key = std::move(opened);
    return HRESULT_FROM_WIN32(rc);
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) {
  }
  return result::kSyncOutOfMemory;
}

HRESULT ReadPipeNameValue(HKEY key, std::wstring& pipePath) noexcept {
  try {
    return HRESULT_FROM_WIN32(ReadPipeName(key, pipePath));
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) {
  }
  return result::kSyncOutOfMemory;
}

std::wstring ModuleIniPath(HMODULE module) {
  std::wstring path;
  if (FAILED(GetModuleFileNameString(module, path))) return {};
  PathRemoveFileSpecW(&path[0]);
  path.resize(std::wcslen(path.c_str()));
  path += L'\\';
  path += kIniFileName;
  return path;
}

HRESULT ReadSpRootFromIni(const std::wstring& iniPath, std::wstring& spRoot) {
  // A bare file name would be looked for in the Windows folder instead.
  if (iniPath.empty()) return E_FAIL;
  wchar_t value[kIniValueCapacity];
  const DWORD length = GetPrivateProfileStringW(kIniSection, kIniKey, nullptr, value,
                                                kIniValueCapacity, iniPath.c_str());
  if (length == 0) return E_FAIL;
  spRoot.assign(value, length);
  if (spRoot.back() != L'\\') spRoot += L'\\';
  return S_OK;
}

}  // namespace zx
