#pragma once
// One type description per dual interface, loaded from the registered type
// library on first use and shared by every object of the process.
#include <windows.h>
#include <oaidl.h>
#include <wrl/client.h>

#include <string>
#include <utility>
#include <vector>

namespace zx {

struct CachedTypeInfo {
  Microsoft::WRL::ComPtr<ITypeInfo> typeInfo;
  // Every member's name, spelled exactly as in the type library.
  std::vector<std::pair<std::wstring, DISPID>> names;

  // Exact, case-sensitive match of a single name; DISPID_UNKNOWN if absent.
  DISPID FindExact(const OLECHAR* name) const;
};

// Loads the description of iid on first call (under the module lock); it
// stays until the module unloads. A failure is returned as it came and the
// next call tries again.
HRESULT GetCachedTypeInfo(REFIID iid, LCID lcid, const CachedTypeInfo** info);

// The library's own locale; the one it is registered under.
constexpr LCID kTypeLibLcid = 0x0409;

}  // namespace zx
