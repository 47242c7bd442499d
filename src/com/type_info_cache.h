#pragma once
// One type description per dual interface, loaded from the registered type
// library on first use and shared by every object of the process.
#include <windows.h>
#include <oaidl.h>

namespace zx {

struct CachedName {
  BSTR name;  // exact spelling from the type library
  UINT length;
  DISPID dispid;
};

struct CachedTypeInfo {
  ITypeInfo* typeInfo = nullptr;
  CachedName* names = nullptr;
  UINT nameCount = 0;

  // Exact, case-sensitive match of a single name; DISPID_UNKNOWN if absent.
  DISPID FindExact(const OLECHAR* name) const;
};

// Loads the description of iid on first call (under the module lock).
// A failure is returned as it came and the next call tries again.
HRESULT GetCachedTypeInfo(REFIID iid, LCID lcid, const CachedTypeInfo** info);

// The library's own locale; the one it is registered under.
constexpr LCID kTypeLibLcid = 0x0409;

}  // namespace zx
