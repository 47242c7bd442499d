#include "zxservice/registration.h"

#include "common/win_resources.h"

namespace zxservice {

LSTATUS RegisterPipeName(const std::wstring& service, const std::wstring& pipeName,
                         const std::wstring& spRoot, REGSAM view) {
  zx::UniqueRegKey key;
  LSTATUS status = RegCreateKeyExW(HKEY_LOCAL_MACHINE, (spRoot + service).c_str(), 0, nullptr, 0,
                                   KEY_SET_VALUE | view, nullptr, key.Put(), nullptr);
  if (status != ERROR_SUCCESS) return status;
  auto bytes = static_cast<DWORD>((pipeName.size() + 1) * sizeof(wchar_t));
  return RegSetValueExW(key.Get(), zx::kPipeNameValue, 0, REG_SZ,
                        reinterpret_cast<const BYTE*>(pipeName.c_str()), bytes);
}

LSTATUS UnregisterPipeName(const std::wstring& service, const std::wstring& spRoot,
                           REGSAM view) {
  LSTATUS status = RegDeleteKeyExW(HKEY_LOCAL_MACHINE, (spRoot + service).c_str(), view, 0);
  return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status;
}

}  // namespace zxservice
