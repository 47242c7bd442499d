#include "common/module_path.h"

#include <new>
#include <utility>

namespace zx {
namespace {

constexpr DWORD kFirstFileNameCapacity = 256;
constexpr DWORD kMaxFileNameCapacity = 32768;

}  // namespace

HMODULE ThisModule() noexcept {
  HMODULE module = nullptr;
  GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCWSTR>(&ThisModule), &module);
  return module;
}

HRESULT GetModuleFileNameString(HMODULE module, std::wstring& fileName) noexcept {
  try {
    for (DWORD capacity = kFirstFileNameCapacity; capacity <= kMaxFileNameCapacity; capacity *= 2) {
      std::wstring buffer(capacity, L'\0');
      const DWORD length = GetModuleFileNameW(module, &buffer[0], capacity - 1);
      if (length == 0) return E_FAIL;
      if (length < capacity - 1) {
        buffer.resize(length);
        fileName = std::move(buffer);
        return S_OK;
      }
    }
  } catch (const std::bad_alloc&) {
  }
  return E_FAIL;
}

}  // namespace zx
