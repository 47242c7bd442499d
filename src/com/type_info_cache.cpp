#include "com/type_info_cache.h"

#include <cwchar>
#include <memory>
#include <new>

#include "com/module.h"
#include "common/win_resources.h"
#include "res/zxmlhttp_idl.h"

namespace zx {
namespace {

using Microsoft::WRL::ComPtr;

using TypeInfoCache = std::vector<std::pair<IID, std::unique_ptr<CachedTypeInfo>>>;

// Emptied by the module's termination list, which the first entry arms.
TypeInfoCache& Cache() {
  static TypeInfoCache cache;
  return cache;
}

const CachedTypeInfo* FindCached(REFIID iid) {
  for (const auto& [cachedIid, info] : Cache()) {
    if (IsEqualIID(cachedIid, iid)) return info.get();
  }
  return nullptr;
}

// Script hosts pass their own locale; the library is registered only under
// its own, so another locale would fail every call from such a page.
HRESULT LoadTypeLib(LCID lcid, ComPtr<ITypeLib>& lib) {
  HRESULT hr = LoadRegTypeLib(LIBID_zxmlhttpLib, 1, 0, lcid, &lib);
  if (hr == TYPE_E_LIBNOTREGISTERED && lcid != kTypeLibLcid) {
    hr = LoadRegTypeLib(LIBID_zxmlhttpLib, 1, 0, kTypeLibLcid, &lib);
  }
  return hr;
}

HRESULT ReadMemberNames(CachedTypeInfo& info) {
  TYPEATTR* attr = nullptr;
  HRESULT hr = info.typeInfo->GetTypeAttr(&attr);
  if (FAILED(hr)) return hr;
  const UINT count = attr->cFuncs;
  info.typeInfo->ReleaseTypeAttr(attr);
  info.names.reserve(count);
  for (UINT i = 0; i < count; ++i) {
    FUNCDESC* func = nullptr;
    hr = info.typeInfo->GetFuncDesc(i, &func);
    if (FAILED(hr)) return hr;
    const DISPID dispid = func->memid;
    info.typeInfo->ReleaseFuncDesc(func);
    UniqueBstr name;
    hr = info.typeInfo->GetDocumentation(dispid, name.Put(), nullptr, nullptr, nullptr);
    if (FAILED(hr)) return hr;
    info.names.emplace_back(std::wstring(name.Get(), SysStringLen(name.Get())), dispid);
  }
  return S_OK;
}

HRESULT LoadTypeInfo(REFIID iid, LCID lcid, CachedTypeInfo& info) {
  ComPtr<ITypeLib> lib;
  HRESULT hr = LoadTypeLib(lcid, lib);
  if (FAILED(hr)) return hr;
  hr = lib->GetTypeInfoOfGuid(iid, &info.typeInfo);
  if (FAILED(hr)) return hr;
  // Keep the richer ITypeInfo2 when the description offers it.
  ComPtr<ITypeInfo2> richer;
  if (SUCCEEDED(info.typeInfo.As(&richer))) info.typeInfo = richer;
  return ReadMemberNames(info);
}

HRESULT LoadIntoCache(REFIID iid, LCID lcid, const CachedTypeInfo** loaded) {
  auto info = std::make_unique<CachedTypeInfo>();
  const HRESULT hr = LoadTypeInfo(iid, lcid, *info);
  if (FAILED(hr)) return hr;
  TypeInfoCache& cache = Cache();
  if (cache.empty() && !Module::Instance().AddTermination([] { Cache().clear(); })) {
    return E_OUTOFMEMORY;
  }
  cache.emplace_back(iid, std::move(info));
  *loaded = cache.back().second.get();
  return S_OK;
}

}  // namespace

DISPID CachedTypeInfo::FindExact(const OLECHAR* name) const {
  const std::wstring_view wanted(name, std::wcslen(name));
  for (const auto& [spelling, dispid] : names) {
    if (spelling == wanted) return dispid;
  }
  return DISPID_UNKNOWN;
}

HRESULT GetCachedTypeInfo(REFIID iid, LCID lcid, const CachedTypeInfo** info) {
  CriticalSectionGuard guard(Module::Instance().ModuleLock());
  if (const CachedTypeInfo* cached = FindCached(iid)) {
    *info = cached;
    return S_OK;
  }
  try {
    return LoadIntoCache(iid, lcid, info);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

}  // namespace zx
