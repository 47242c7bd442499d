#include "registration.h"

#include "common/win_resources.h"

namespace zxsample {

LSTATUS RegisterPipeName(const std::wstring& spRoot, const std::wstring& segment,
                         const std::wstring& pipeName) {
  zx::UniqueRegKey key;
  LSTATUS status = RegCreateKeyExW(HKEY_LOCAL_MACHINE, (spRoot + segment).c_str(), 0, nullptr, 0,
                                   KEY_SET_VALUE, nullptr, key.Put(), nullptr);
  if (status != ERROR_SUCCESS) return status;
  auto bytes = static_cast<DWORD>((pipeName.size() + 1) * sizeof(wchar_t));
  return RegSetValueExW(key.Get(), L"Name", 0, REG_SZ,
                        reinterpret_cast<const BYTE*>(pipeName.c_str()), bytes);
}

LSTATUS UnregisterPipeName(const std::wstring& spRoot, const std::wstring& segment) {
  LSTATUS status = RegDeleteKeyW(HKEY_LOCAL_MACHINE, (spRoot + segment).c_str());
  return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status;
}

}  // namespace zxsample
